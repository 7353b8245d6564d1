#include "pdfengine/FontRegistry.h"

#include <sys/stat.h>
#include <charconv>

#include "pdfengine/CidCMap.h"
#include "pdfengine/CidStandardFont.h"
#include "pdfengine/Document.h"
#include "pdfengine/EngineError.h"
#include "pdfengine/FontEncoding.h"
#include "pdfengine/FontError.h"
#include "pdfengine/FontFile.h"
#include "pdfengine/FontObjectWriter.h"
#include "pdfengine/InputFile.h"
#include "pdfengine/OptionList.h"
#include "pdfengine/PdfJapaneseFont.h"
#include "pdfengine/PdfStandardFont.h"
#include "pdfengine/PdfTrueTypeFont.h"
#include "pdfengine/PdfType0Font.h"
#include "pdfengine/StandardFont.h"
#include "pdfengine/TextDecoder.h"

namespace pdfengine {

namespace {

using Input = LoadedFont::Input;

// What an encoding name asks for, before the font says how it is done.
struct Encoding {
    enum class Kind { Auto, Builtin, EightBit, Cp932, Unicode, GlyphId, UnicodeCMap, ShiftJisCMap };
    Kind kind = Kind::Auto;
    const FontEncoding* table = nullptr;
    const CidCMap* cmap = nullptr;
};

std::optional<Encoding> parseEncoding(std::string_view name)
{
    using Kind = Encoding::Kind;
    if (name.empty() || equalsNoCase(name, "auto") || equalsNoCase(name, "host"))
        return Encoding{Kind::Auto};
    if (equalsNoCase(name, "builtin"))
        return Encoding{Kind::Builtin};
    for (const char* eightBit : {"winansi", "iso8859-1", "macroman"})
        if (equalsNoCase(name, eightBit))
            return Encoding{Kind::EightBit, FontEncoding::find(eightBit)};
    if (equalsNoCase(name, "cp932"))
        return Encoding{Kind::Cp932};
    if (equalsNoCase(name, "unicode"))
        return Encoding{Kind::Unicode};
    if (equalsNoCase(name, "glyphid"))
        return Encoding{Kind::GlyphId};
    for (const char* cmapName :
         {"UniJIS-UCS2-H", "UniJIS-UCS2-HW-H", "UniJIS-UTF16-H", "90ms-RKSJ-H", "90msp-RKSJ-H"}) {
        if (equalsNoCase(name, cmapName)) {
            const CidCMap* cmap = CidCMap::find(cmapName);
            return Encoding{cmap->unicodeCodes() ? Kind::UnicodeCMap : Kind::ShiftJisCMap, nullptr, cmap};
        }
    }
    return std::nullopt;
}

// How text in a font file is read for an encoding that is not 8-bit.
Input wideInput(Encoding::Kind kind)
{
    switch (kind) {
        case Encoding::Kind::Cp932:
        case Encoding::Kind::ShiftJisCMap:
            return Input::ShiftJis;
        case Encoding::Kind::Unicode:
            return Input::Utf16LE;
        case Encoding::Kind::UnicodeCMap:
            return Input::Utf16BE;
        default:
            return Input::GlyphIds;
    }
}

const char* inputName(Input input)
{
    static const char* const names[] = {"codes", "8-bit", "cp932", "utf16le", "utf16be", "glyphid"};
    return names[static_cast<int>(input)];
}

bool isRegularFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

}  // namespace

struct FontRegistry::Request {
    std::string name;
    std::string encodingName;
    Encoding encoding;
    bool embed = true;
    bool subset = true;
    int faceIndex = -1;  // -1: not given
};

FontRegistry::FontRegistry() = default;
FontRegistry::~FontRegistry() = default;

int FontRegistry::load(std::string_view name, std::string_view encoding, const OptionList& options,
                       const Settings& settings, Document* document)
{
    Request request;
    request.embed = options.getBool("embedding", true);
    request.subset = options.getBool("subsetting", true);
    request.faceIndex = options.getInteger("faceindex", -1);
    // Callers load their fonts again for every text: the key is built in a
    // buffer that keeps its capacity, and a known request costs one lookup.
    std::string& key = keyScratch_;
    key.assign(name);
    key += '\0';
    key += encoding;
    key += '\0';
    key += request.embed ? 'e' : '-';
    key += request.subset ? 's' : '-';
    char index[16];
    key.append(index, std::to_chars(index, index + sizeof index, request.faceIndex).ptr);
    key += '\0';
    if (!settings.fontOutlines.empty()) {
        auto outline = settings.fontOutlines.find(name);
        if (outline != settings.fontOutlines.end())
            key += outline->second;
    }
    auto known = byRequest_.find(key);
    if (known != byRequest_.end()) {
        LoadedFont& font = *fonts_[static_cast<size_t>(known->second)];
        if (document && font.description().needsPdf16) {
            try {
                requireVersion(font, *document);
            } catch (const EngineError& e) {
                lastFailure_ = e.what();
                throw;
            }
        }
        return known->second;
    }
    request.name = name;
    request.encodingName = encoding;
    auto failure = [&](ErrorCode code, const std::string& reason) {
        lastFailure_ = "Couldn't load font " + quoted(request.name) + " with encoding " +
                       quoted(request.encodingName) + ": " + reason;
        return EngineError(code, lastFailure_, true);
    };
    try {
        if (request.name.empty())
            throw FontError("no font name given");
        std::optional<Encoding> parsed = parseEncoding(request.encodingName);
        if (!parsed)
            throw failure(
                err::UnknownEncoding,
                "unknown encoding (expected winansi, iso8859-1, macroman, builtin, host, auto, cp932, "
                "unicode, glyphid, UniJIS-UCS2-H, UniJIS-UCS2-HW-H, UniJIS-UTF16-H, 90ms-RKSJ-H or "
                "90msp-RKSJ-H)");
        request.encoding = *parsed;
        Plan plan = create(request, settings);
        const LoadedFont::Description& d = plan.description;
        std::string identity =
            d.font + '\0' + inputName(d.input) + '\0' + (d.eightBit ? d.eightBit->name() : "");
        int handle = 0;
        auto same = byIdentity_.find(identity);
        if (same != byIdentity_.end()) {
            handle = same->second;
        } else {
            auto instance = instances_.find(d.font);
            if (instance == instances_.end())
                instance = instances_.emplace(d.font, std::make_shared<FontInstance>(plan.make)).first;
            auto font = std::make_unique<LoadedFont>(d, instance->second);
            handle = static_cast<int>(fonts_.size());
            fonts_.push_back(std::move(font));
            byIdentity_.emplace(std::move(identity), handle);
        }
        if (document)
            requireVersion(*fonts_[static_cast<size_t>(handle)], *document);
        byRequest_.emplace(key, handle);
        return handle;
    } catch (const FontError& e) {
        throw failure(err::FontUnavailable, e.what());
    } catch (const EngineError& e) {
        if (e.code().number != err::UnknownEncoding.number)
            lastFailure_ = e.what();
        throw;
    }
}

FontRegistry::Plan FontRegistry::create(const Request& request, const Settings& settings)
{
    using Kind = Encoding::Kind;
    const Encoding& encoding = request.encoding;
    LoadedFont::Description d;
    d.name = request.name;
    d.encoding = request.encodingName;

    auto outline = settings.fontOutlines.find(request.name);
    if (outline != settings.fontOutlines.end()) {
        std::string path = findInputFile(outline->second, settings.searchPath);
        if (!isRegularFile(path))
            throw FontError("font file " + quoted(outline->second) +
                            " registered for it with FontOutline was not found");
        return fromFile(request, path, std::max(request.faceIndex, 0));
    }

    if (const StandardFont* standard = StandardFont::find(request.name)) {
        if (encoding.kind == Kind::GlyphId)
            throw FontError("glyph ids need a font file; " + std::string(standard->name()) +
                            " is a standard font");
        const FontEncoding* table = FontEncoding::find("winansi");
        if (encoding.kind == Kind::Builtin)
            table = &standard->builtinEncoding();
        else if (encoding.kind == Kind::EightBit)
            table = encoding.table;
        if (encoding.kind == Kind::Auto || encoding.kind == Kind::Builtin || encoding.kind == Kind::EightBit)
            d.input = Input::FontCodes;
        else
            d.input = wideInput(encoding.kind);  // read as Unicode, shown in winansi
        d.font = std::string("standard:") + standard->name() + ":" + table->name();
        return {d, [standard, table] { return std::make_unique<PdfStandardFont>(*standard, *table); }};
    }

    if (const CidStandardFont* japanese = CidStandardFont::find(request.name)) {
        const CidCMap* cmap = nullptr;
        switch (encoding.kind) {
            case Kind::Auto:  // a Japanese font's own code page
            case Kind::Cp932:
                cmap = CidCMap::find("90ms-RKSJ-H");
                d.input = Input::FontCodes;
                break;
            case Kind::UnicodeCMap:
            case Kind::ShiftJisCMap:
                cmap = encoding.cmap;
                d.input = Input::FontCodes;
                break;
            case Kind::Unicode:
                cmap = CidCMap::find("UniJIS-UTF16-H");
                d.input = Input::Utf16LE;
                break;
            case Kind::EightBit:
                cmap = CidCMap::find("UniJIS-UCS2-H");
                d.input = Input::EightBit;
                d.eightBit = encoding.table;
                break;
            case Kind::Builtin:
            case Kind::GlyphId:
                throw FontError(std::string(japanese->name()) +
                                " is a standard CID font: it takes Unicode, code page 932 or the codes of a "
                                "Japanese CMap, not " +
                                (encoding.kind == Kind::Builtin ? "a built-in encoding" : "glyph ids"));
        }
        d.font = std::string("cid:") + japanese->name() + ":" + cmap->name();
        return {d, [japanese, cmap] { return std::make_unique<PdfJapaneseFont>(*japanese, *cmap); }};
    }

    std::string path = findInputFile(request.name, settings.searchPath);
    if (isRegularFile(path))
        return fromFile(request, path, std::max(request.faceIndex, 0));

    if (std::optional<FontLocator::Location> installed = locator_.find(fontNameToUtf8(request.name)))
        return fromFile(request, installed->path,
                        request.faceIndex >= 0 ? request.faceIndex : installed->faceIndex);

    throw FontError(
        "font not found (no FontOutline registration, no standard font, no font file and no "
        "installed font family of that name)");
}

std::shared_ptr<const FontFile> FontRegistry::fontFile(const std::string& path, int faceIndex)
{
    auto key = std::make_pair(path, faceIndex);
    auto found = files_.find(key);
    if (found != files_.end())
        return found->second;
    std::shared_ptr<const FontFile> file = FontFile::load(path, faceIndex);
    files_.emplace(std::move(key), file);
    return file;
}

FontRegistry::Plan FontRegistry::fromFile(const Request& request, const std::string& path, int faceIndex)
{
    using Kind = Encoding::Kind;
    std::shared_ptr<const FontFile> file = fontFile(path, faceIndex);
    LoadedFont::Description d;
    d.name = request.name;
    d.encoding = request.encodingName;
    bool cff = file->format() == FontFile::Format::OpenTypeCff;
    d.needsPdf16 = request.embed && cff && !file->cidKeyed();
    bool embed = request.embed;
    bool subset = request.subset;
    Kind kind = request.encoding.kind;
    std::string font =
        path + ":" + std::to_string(faceIndex) + (embed ? ":embed" : "") + (subset ? ":subset" : "");
    if (kind == Kind::Auto || kind == Kind::Builtin || kind == Kind::EightBit) {
        // A symbol font keeps its own codes whatever the 8-bit encoding says.
        const FontEncoding* table =
            kind == Kind::EightBit ? request.encoding.table : FontEncoding::find("winansi");
        d.input = Input::FontCodes;
        if (!cff) {
            d.font = "truetype:" + font + ":" + table->name();
            return {d, [file, table, embed, subset] {
                        return std::make_unique<PdfTrueTypeFont>(file, *table, embed, subset);
                    }};
        }
        // CFF outlines cannot make a simple TrueType font: a Type 0 font reads
        // the bytes in the 8-bit encoding instead.
        d.font = "type0:" + font + ":" + table->name();
        return {d, [file, table, embed, subset] {
                    return std::make_unique<PdfType0Font>(file, PdfType0Font::Options{embed, subset, table});
                }};
    }
    d.input = wideInput(kind);
    d.font = "type0:" + font;
    return {d, [file, embed, subset] {
                return std::make_unique<PdfType0Font>(file, PdfType0Font::Options{embed, subset, nullptr});
            }};
}

LoadedFont& FontRegistry::get(int handle)
{
    if (handle < 0 || static_cast<size_t>(handle) >= fonts_.size()) {
        std::string message = "font handle " + std::to_string(handle) + " is not valid";
        if (handle == -1 && !lastFailure_.empty())
            message += "; the last font load failed: " + lastFailure_;
        throw EngineError(err::BadFontHandle, message);
    }
    return *fonts_[static_cast<size_t>(handle)];
}

void FontRegistry::requireVersion(const LoadedFont& font, Document& document)
{
    if (!font.description().needsPdf16)
        return;
    document.raiseVersion(16);
    if (document.version() < 16)
        throw EngineError(
            err::FontNeedsVersion,
            "Font " + quoted(font.description().name) + " with encoding " +
                quoted(font.description().encoding) + " has CFF outlines in an OpenType file, which PDF " +
                std::to_string(document.version() / 10) + "." + std::to_string(document.version() % 10) +
                " cannot embed (compatibility 1.6 or higher, or embedding=false, is needed)",
            true);
}

QPDFObjectHandle FontRegistry::dictionaryFor(LoadedFont& font, Document& document)
{
    QPDFObjectHandle& dictionary = font.instance().dictionary();
    if (dictionary.isInitialized())
        return dictionary;
    requireVersion(font, document);
    if (!hookInstalled_) {
        document.addEndHook([this](Document& finished) { writeFonts(finished); });
        hookInstalled_ = true;
    }
    dictionary = document.pdf().makeIndirectObject(QPDFObjectHandle::newDictionary());
    return dictionary;
}

void FontRegistry::writeFonts(Document& document)
{
    for (auto& [name, instance] : instances_) {
        if (!instance->dictionary().isInitialized())
            continue;
        try {
            FontObjectWriter::fill(document.pdf(), instance->font().objects(), instance->dictionary(),
                                   document.deflater());
        } catch (const FontError& e) {
            throw EngineError(err::FontUnavailable, std::string("Couldn't embed a font: ") + e.what());
        }
    }
}

void FontRegistry::beginDocument()
{
    for (auto& [name, instance] : instances_)
        instance->reset();
    hookInstalled_ = false;
}

}  // namespace pdfengine

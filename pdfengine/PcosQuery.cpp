#include "pdfengine/PcosQuery.h"

#include "pdfengine/BlockReader.h"
#include "pdfengine/BoundedSink.h"
#include "pdfengine/NumberFormat.h"
#include "pdfengine/PdiError.h"

namespace pdfengine {

struct PcosQuery::Node {
    enum class Kind { Object, Pages, Page, Blocks, Block, Encrypt, Number, Text };
    Kind kind = Kind::Object;
    QPDFObjectHandle object;
    int page = 0;  // 1-based
    const BlockDefinition* block = nullptr;
    double number = 0;
    std::string text;
};

namespace {

// With its article, for messages.
const char* typeName(PcosType type)
{
    static const char* const names[] = {"null",     "a boolean",    "a number", "a name",  "a string",
                                        "an array", "a dictionary", "a stream", "a stream"};
    return names[static_cast<int>(type)];
}

[[noreturn]] void notFound(const PcosPath& path)
{
    throw PdiError(PdiErrorKind::PathNotFound, "pCOS path '" + path.text + "' does not resolve");
}

[[noreturn]] void wrongType(const PcosPath& path, PcosType type, const char* wanted)
{
    throw PdiError(PdiErrorKind::WrongType,
                   "pCOS path '" + path.text + "' is " + typeName(type) + ", not " + wanted);
}

bool decodable(QPDFObjectHandle stream)
{
    // Without a pipeline qpdf only says whether it knows every filter.
    bool attempted = false;
    return stream.pipeStreamData(nullptr, &attempted, 0, qpdf_dl_specialized, true);
}

}  // namespace

PcosQuery::Node PcosQuery::root(const PcosPath& path) const
{
    Node node;
    if (path.fromTrailer) {
        node.object = document_.qpdf().getTrailer();
        return node;
    }
    const std::string& name = path.steps.front().key;
    if (name == "pages") {
        node.kind = Node::Kind::Pages;
    } else if (name == "trailer") {
        node.object = document_.qpdf().getTrailer();
    } else if (name == "encrypt") {
        node.kind = Node::Kind::Encrypt;
    } else if (name == "pdfversion") {
        auto [major, minor] = pdfVersionNumbers(document_.pdfVersion());
        node.kind = Node::Kind::Number;
        node.number = major * 10 + minor;
    } else if (name == "filename") {
        node.kind = Node::Kind::Text;
        node.text = document_.fileName();
    } else {
        throw PdiError(PdiErrorKind::PathSyntax, "Bad pCOS path '" + path.text + "' (unknown root '" + name +
                                                     "'; paths into the document's objects begin with '/')");
    }
    return node;
}

bool PcosQuery::step(Node& node, const PcosPath::Step& s) const
{
    using Kind = Node::Kind;
    switch (node.kind) {
        case Kind::Object: {
            QPDFObjectHandle o = node.object;
            if (s.isIndex) {
                if (!o.isArray() || s.index >= o.getArrayNItems())
                    return false;
                node.object = o.getArrayItem(static_cast<int>(s.index));
            } else {
                if (o.isStream())
                    o = o.getDict();
                if (!o.isDictionary())
                    return false;
                node.object = o.getKey("/" + s.key);
            }
            return !node.object.isNull();
        }
        case Kind::Pages:
            if (!s.isIndex || s.index >= document_.pageCount())
                return false;
            node.kind = Kind::Page;
            node.page = static_cast<int>(s.index) + 1;
            return true;
        case Kind::Page:
            if (s.isIndex)
                return false;
            if (s.key == "width" || s.key == "height") {
                const PageGeometry& g = document_.geometry(node.page);
                node.kind = Kind::Number;
                node.number =
                    s.key == "width" ? g.displayWidth(PageBox::Crop) : g.displayHeight(PageBox::Crop);
                return true;
            }
            if (s.key == "blocks") {
                node.kind = Kind::Blocks;
                return true;
            }
            node.kind = Kind::Object;
            node.object = document_.page(node.page).attribute(("/" + s.key).c_str());
            return !node.object.isNull();
        case Kind::Blocks: {
            const auto& blocks = document_.blocks(node.page);
            if (s.isIndex) {
                if (s.index >= static_cast<long>(blocks.size()))
                    return false;
                node.block = &blocks[static_cast<size_t>(s.index)];
            } else {
                node.block = BlockReader::find(blocks, s.key);
            }
            node.kind = Kind::Block;
            return node.block != nullptr;
        }
        case Kind::Block:
            if (s.isIndex)
                return false;
            if (s.key == "Name") {
                node.kind = Kind::Text;
                node.text = node.block->name;
                return true;
            }
            node.kind = Kind::Object;
            node.object = QPDFObjectHandle(node.block->dict).getKey("/" + s.key);
            return !node.object.isNull();
        case Kind::Encrypt: {
            const EncryptionInfo& e = document_.encryption();
            if (s.isIndex)
                return false;
            if (s.key == "algorithm" || s.key == "keylength") {
                node.kind = Kind::Number;
                node.number = s.key == "algorithm" ? static_cast<int>(e.algorithm) : e.keyLength;
                return true;
            }
            if (s.key == "description") {
                node.kind = Kind::Text;
                node.text = e.description;
                return true;
            }
            return false;
        }
        case Kind::Number:
        case Kind::Text:
            break;
    }
    return false;
}

PcosQuery::Node PcosQuery::resolve(const PcosPath& path) const
{
    Node node = root(path);
    // A root keyword is itself the first step.
    size_t first = path.fromTrailer ? 0 : 1;
    for (size_t i = first; i < path.steps.size(); ++i)
        if (!step(node, path.steps[i]))
            notFound(path);
    if (node.kind == Node::Kind::Object && node.object.isNull())
        notFound(path);
    return node;
}

PcosType PcosQuery::typeOf(const Node& node) const
{
    switch (node.kind) {
        case Node::Kind::Pages:
        case Node::Kind::Blocks:
            return PcosType::Array;
        case Node::Kind::Page:
        case Node::Kind::Block:
        case Node::Kind::Encrypt:
            return PcosType::Dictionary;
        case Node::Kind::Number:
            return PcosType::Number;
        case Node::Kind::Text:
            return PcosType::String;
        case Node::Kind::Object:
            break;
    }
    QPDFObjectHandle o = node.object;
    if (o.isBool())
        return PcosType::Boolean;
    if (o.isNumber())
        return PcosType::Number;
    if (o.isName())
        return PcosType::Name;
    if (o.isString())
        return PcosType::String;
    if (o.isArray())
        return PcosType::Array;
    if (o.isDictionary())
        return PcosType::Dictionary;
    if (o.isStream())
        return decodable(o) ? PcosType::Stream : PcosType::UndecodableStream;
    return PcosType::Null;
}

double PcosQuery::lengthOf(const Node& node, const PcosPath& path) const
{
    switch (node.kind) {
        case Node::Kind::Pages:
            return document_.pageCount();
        case Node::Kind::Blocks:
            return static_cast<double>(document_.blocks(node.page).size());
        case Node::Kind::Encrypt:
            return 3;
        case Node::Kind::Block: {
            // Every block has a Name, stored or taken from its key.
            std::set<std::string> keys = QPDFObjectHandle(node.block->dict).getKeys();
            keys.insert("/Name");
            return static_cast<double>(keys.size());
        }
        case Node::Kind::Page: {
            const PageNode& page = document_.page(node.page);
            std::set<std::string> keys = QPDFObjectHandle(page.dict).getKeys();
            for (const char* name : {"/Resources", "/MediaBox", "/CropBox", "/Rotate"})
                if (!page.attribute(name).isNull())
                    keys.insert(name);
            return static_cast<double>(keys.size());
        }
        case Node::Kind::Number:
        case Node::Kind::Text:
            wrongType(path, typeOf(node), "an array or dictionary");
        case Node::Kind::Object:
            break;
    }
    QPDFObjectHandle o = node.object;
    if (o.isArray())
        return o.getArrayNItems();
    if (o.isStream())
        o = o.getDict();
    if (o.isDictionary())
        return static_cast<double>(o.getKeys().size());
    wrongType(path, typeOf(node), "an array or dictionary");
}

double PcosQuery::prefixed(const PcosPath& path) const
{
    if (path.prefix == PcosPath::Prefix::Type) {
        try {
            return static_cast<int>(typeOf(resolve(path)));
        } catch (const PdiError& e) {
            if (e.kind() == PdiErrorKind::PathNotFound)
                return 0;
            throw;
        }
    }
    return lengthOf(resolve(path), path);
}

double PcosQuery::numberAt(std::string_view text) const
{
    PcosPath path = PcosPath::parse(text);
    if (path.prefix != PcosPath::Prefix::None)
        return prefixed(path);
    Node node = resolve(path);
    if (node.kind == Node::Kind::Number)
        return node.number;
    PcosType type = typeOf(node);
    if (type == PcosType::Boolean)
        return node.object.getBoolValue() ? 1 : 0;
    if (type == PcosType::Number)
        return node.object.getNumericValue();
    wrongType(path, type, "a number");
}

std::string PcosQuery::stringAt(std::string_view text) const
{
    PcosPath path = PcosPath::parse(text);
    if (path.prefix != PcosPath::Prefix::None)
        return shortestNumber(prefixed(path));
    Node node = resolve(path);
    if (node.kind == Node::Kind::Text)
        return node.text;
    if (node.kind == Node::Kind::Number)
        return shortestNumber(node.number);
    PcosType type = typeOf(node);
    QPDFObjectHandle o = node.object;
    switch (type) {
        case PcosType::String:
            return textStringToUtf8(o);
        case PcosType::Name:
            return nameBytes(o);
        case PcosType::Boolean:
            return o.getBoolValue() ? "true" : "false";
        case PcosType::Number:
            return o.isInteger() ? std::to_string(o.getIntValue()) : shortestNumber(o.getNumericValue());
        default:
            wrongType(path, type, "a string, name, number or boolean");
    }
}

std::string PcosQuery::streamAt(std::string_view text) const
{
    PcosPath path = PcosPath::parse(text);
    if (path.prefix != PcosPath::Prefix::None)
        throw PdiError(PdiErrorKind::WrongType, "pCOS path '" + path.text + "' is a number, not a stream");
    Node node = resolve(path);
    if (node.kind == Node::Kind::Text)
        return node.text;
    PcosType type = typeOf(node);
    if (type == PcosType::String)
        return node.object.getStringValue();
    if (type != PcosType::Stream && type != PcosType::UndecodableStream)
        wrongType(path, type, "a stream or string");

    BoundedSink sink(document_.options().maxStreamBytes, true);
    bool ok = false;
    bool attempted = false;
    std::string reason;
    try {
        ok = node.object.pipeStreamData(&sink, &attempted, 0,
                                        type == PcosType::Stream ? qpdf_dl_specialized : qpdf_dl_none, true);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        reason = e.what();
    }
    if (sink.exceeded())
        throw PdiError(PdiErrorKind::TooComplex,
                       "The stream at pCOS path '" + path.text + "' decodes to more than " +
                           std::to_string(document_.options().maxStreamBytes) + " bytes");
    if (!ok)
        throw damagedError(document_.fileName(), "the stream at pCOS path '" + path.text +
                                                     "' cannot be decoded" +
                                                     (reason.empty() ? std::string() : ": " + reason));
    return std::move(sink.data());
}

template <typename Query>
auto PcosQuery::guarded(Query query) const
{
    try {
        auto result = query();
        document_.checkRepairs();
        return result;
    } catch (...) {
        // Damage that qpdf repaired on the way matters more than where the path led.
        document_.checkRepairs();
        rethrowAsPdiError(document_.fileName());
    }
}

double PcosQuery::number(std::string_view path) const
{
    return guarded([&] { return numberAt(path); });
}

std::string PcosQuery::string(std::string_view path) const
{
    return guarded([&] { return stringAt(path); });
}

std::string PcosQuery::stream(std::string_view path) const
{
    return guarded([&] { return streamAt(path); });
}

}  // namespace pdfengine

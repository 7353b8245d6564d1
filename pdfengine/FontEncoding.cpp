#include "pdfengine/FontEncoding.h"

#include <strings.h>
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "pdfengine/font_standard_table.h"

namespace pdfengine {

const FontEncoding* FontEncoding::find(std::string_view name)
{
    using fontdata::kEncodings;
    static const FontEncoding all[fontdata::kEncodingCount] = {
        FontEncoding(&kEncodings[0]), FontEncoding(&kEncodings[1]), FontEncoding(&kEncodings[2]),
        FontEncoding(&kEncodings[3]), FontEncoding(&kEncodings[4]), FontEncoding(&kEncodings[5])};
    for (const FontEncoding& encoding : all) {
        const char* candidate = encoding.name();
        if (name.size() == std::strlen(candidate) && strncasecmp(name.data(), candidate, name.size()) == 0)
            return &encoding;
    }
    return nullptr;
}

const char* FontEncoding::name() const
{
    return record_->name;
}

const char* FontEncoding::pdfName() const
{
    return record_->pdfName;
}

int FontEncoding::glyphNumber(uint8_t code) const
{
    uint16_t glyph = record_->glyphs[code];
    return glyph == 0xFFFF ? -1 : glyph;
}

const char* FontEncoding::glyphName(uint8_t code) const
{
    int glyph = glyphNumber(code);
    return glyph < 0 ? nullptr : fontdata::kStandardGlyphNames[glyph];
}

const char* FontEncoding::pdfGlyphName(uint8_t code) const
{
    if (record_->notInPdf[code / 8] & (1u << (code % 8)))
        return nullptr;
    return glyphName(code);
}

char32_t FontEncoding::unicode(uint8_t code) const
{
    return record_->unicode[code];
}

std::optional<uint8_t> FontEncoding::code(char32_t unicode) const
{
    if (unicode >= latin_.size())
        return searchCode(unicode);
    std::call_once(latinMade_, [this] {
        for (char32_t c = 0; c < latin_.size(); ++c) {
            const std::optional<uint8_t> found = searchCode(c);
            latin_[c] = found ? *found : int16_t{-1};
        }
    });
    const int16_t found = latin_[unicode];
    return found < 0 ? std::nullopt : std::optional<uint8_t>(static_cast<uint8_t>(found));
}

std::optional<uint8_t> FontEncoding::searchCode(char32_t unicode) const
{
    const fontdata::UnicodeCode* begin = record_->byUnicode;
    const fontdata::UnicodeCode* end = begin + record_->byUnicodeCount;
    const fontdata::UnicodeCode* found =
        std::lower_bound(begin, end, unicode,
                         [](const fontdata::UnicodeCode& entry, char32_t u) { return entry.unicode < u; });
    if (found == end || found->unicode != unicode)
        return std::nullopt;
    return found->code;
}

FontEncoding::Dictionary FontEncoding::dictionaryFor(const std::array<const char*, 256>& glyphNames)
{
    Dictionary best;
    size_t bestCount = SIZE_MAX;
    // WinAnsi first: on a tie the most common base wins.
    for (const char* baseName : {"winansi", "macroman", "standard"}) {
        const FontEncoding* base = find(baseName);
        Dictionary candidate;
        candidate.baseEncoding = base->pdfName();
        for (int code = 0; code < 256; ++code) {
            const char* wanted = glyphNames[code];
            if (!wanted)
                continue;
            const char* given = base->pdfGlyphName(static_cast<uint8_t>(code));
            if (!given || std::strcmp(given, wanted) != 0)
                candidate.differences.emplace_back(code, wanted);
        }
        if (candidate.differences.size() < bestCount) {
            bestCount = candidate.differences.size();
            best = std::move(candidate);
        }
    }
    return best;
}

}  // namespace pdfengine

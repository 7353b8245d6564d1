// The Japanese standard fonts HeiseiKakuGo-W5, HeiseiMin-W3, KozMinPro-Regular
// and KozGoPro-Medium: Adobe-Japan1 CIDFonts that PDF readers supply themselves,
// so they are never embedded. The engine knows their descriptor values and the
// width of every CID (1/1000 em).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pdfengine/FontDescriptor.h"

namespace pdfengine {

class CidStandardFont {
public:
    static constexpr const char* kRegistry = "Adobe";
    static constexpr const char* kOrdering = "Japan1";

    // The font of that exact name, or null.
    static const CidStandardFont* find(std::string_view name);

    const char* name() const { return name_; }
    bool mincho() const { return mincho_; }
    FontDescriptor descriptor() const;
    int width(uint16_t cid) const;
    // The same width found by searching the style's runs of widths, which the
    // table that width() reads is made from.
    int searchWidths(uint16_t cid) const;

private:
    // The width of CIDs outside every run: the full-width em.
    static constexpr int kDefaultWidth = 1000;

    size_t styleIndex() const { return mincho_ ? 1 : 0; }
    // The width table of the font's style, made by find() before it gives the
    // font out: every text shown in it measures each of its characters.
    void makeWidths() const;

    constexpr CidStandardFont(const char* name, bool mincho, int weight)
        : name_(name), mincho_(mincho), weight_(weight)
    {
    }

    const char* name_;
    bool mincho_;
    int weight_;  // weight class, for the stem width
};

}  // namespace pdfengine

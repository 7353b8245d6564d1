#include "pdfengine/FontLocator.h"

#include <fontconfig/fontconfig.h>

#include <strings.h>
#include <cstdlib>
#include <cstring>
#include <tuple>

namespace pdfengine {

struct FontLocator::Config {
    FcConfig* config = nullptr;
    ~Config()
    {
        if (config)
            FcConfigDestroy(config);
    }
};

FontLocator::FontLocator() = default;
FontLocator::~FontLocator() = default;

namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};

// fontconfig's family comparison: case and blanks don't count.
std::string folded(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c != ' ')
            out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    return out;
}

bool hasFamily(FcPattern* font, const std::string& wanted)
{
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
        if (folded(reinterpret_cast<const char*>(family)) == wanted)
            return true;
    }
    return false;
}

}  // namespace

std::optional<FontLocator::Location> FontLocator::find(std::string_view family)
{
    if (family.empty())
        return std::nullopt;
    if (!config_) {
        auto config = std::make_unique<Config>();
        config->config = FcInitLoadConfigAndFonts();
        if (!config->config)
            return std::nullopt;
        config_ = std::move(config);
    }
    std::string name(family);
    std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(FcObjectSetBuild(
        FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_FONTFORMAT, nullptr));
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(
        FcFontList(config_->config, pattern.get(), objects.get()));
    if (!fonts)
        return std::nullopt;

    std::string wanted = folded(family);
    std::optional<Location> best;
    std::tuple<int, int, int, std::string, int> bestKey;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcPattern* font = fonts->fonts[i];
        FcChar8* file = nullptr;
        FcChar8* format = nullptr;
        if (!hasFamily(font, wanted) || FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch)
            continue;
        // Only what the engine can embed: TrueType and CFF outlines in sfnt files.
        if (FcPatternGetString(font, FC_FONTFORMAT, 0, &format) != FcResultMatch ||
            (std::strcmp(reinterpret_cast<const char*>(format), "TrueType") != 0 &&
             std::strcmp(reinterpret_cast<const char*>(format), "CFF") != 0))
            continue;
        int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN, width = FC_WIDTH_NORMAL;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(font, FC_SLANT, 0, &slant);
        FcPatternGetInteger(font, FC_WIDTH, 0, &width);
        // Closest to regular, upright, normal width; then by path, so the choice is stable.
        auto key =
            std::make_tuple(slant, std::abs(weight - FC_WEIGHT_REGULAR), std::abs(width - FC_WIDTH_NORMAL),
                            std::string(reinterpret_cast<const char*>(file)), index);
        if (!best || key < bestKey) {
            bestKey = key;
            best = Location{std::get<3>(key), index & 0xFFFF};
        }
    }
    return best;
}

}  // namespace pdfengine

// Finds installed fonts by family name through fontconfig. Only an exact family
// match counts (case and blanks aside, as fontconfig compares): a name that is
// not installed is reported as such, never replaced by a look-alike. Fontconfig
// is only started by the first lookup, so runs that never need it don't pay for it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pdfengine {

class FontLocator {
public:
    struct Location {
        std::string path;
        int faceIndex = 0;
    };

    FontLocator();
    ~FontLocator();
    FontLocator(const FontLocator&) = delete;
    FontLocator& operator=(const FontLocator&) = delete;

    // The TrueType or OpenType font of that family, preferring the regular upright
    // style; none when the family is not installed.
    std::optional<Location> find(std::string_view family);

private:
    struct Config;
    std::unique_ptr<Config> config_;
};

}  // namespace pdfengine

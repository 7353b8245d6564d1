#include <gtest/gtest.h>

#include "pdfengine/FontLocator.h"
#include "tests/fonts/FontTestSupport.h"

using namespace pdfengine;

TEST(FontLocator, FindsInstalledFamiliesByExactName)
{
    REQUIRE_FILE(fonttest::kGothic);
    FontLocator locator;
    auto gothic = locator.find("IPAexGothic");
    ASSERT_TRUE(gothic.has_value());
    // The package links the file under other names too; the choice is stable.
    EXPECT_EQ(gothic->path, fonttest::kGothic);
    EXPECT_EQ(gothic->faceIndex, 0);
    // Fontconfig compares families without case and blanks; the Japanese name works too.
    EXPECT_TRUE(locator.find("ipaexgothic").has_value());
    EXPECT_TRUE(
        locator.find("IPAex\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF").has_value());  // IPAexゴシック
    auto mincho = locator.find("IPAexMincho");
    ASSERT_TRUE(mincho.has_value());
    EXPECT_EQ(mincho->path, fonttest::kMincho);
}

TEST(FontLocator, NeverSubstitutesALookAlike)
{
    FontLocator locator;
    EXPECT_FALSE(locator.find("IPAex").has_value());
    EXPECT_FALSE(locator.find("No Such Family 12345").has_value());
    EXPECT_FALSE(locator.find("sans-serif").has_value());
    EXPECT_FALSE(locator.find("").has_value());
}

TEST(FontLocator, PrefersTheRegularStyleAndFontsItCanEmbed)
{
    REQUIRE_FILE("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    FontLocator locator;
    auto sans = locator.find("DejaVu Sans");
    ASSERT_TRUE(sans.has_value());
    EXPECT_EQ(sans->path, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    // The URW fonts come as Type 1 and as OpenType: only the OpenType file is usable.
    if (fonttest::exists(std::string(fonttest::kOtfDir) + "NimbusSans-Regular.otf")) {
        auto nimbus = locator.find("Nimbus Sans");
        ASSERT_TRUE(nimbus.has_value());
        EXPECT_EQ(nimbus->path, std::string(fonttest::kOtfDir) + "NimbusSans-Regular.otf");
    }
    // A family inside a collection comes with its face index.
    std::string noto = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";
    if (fonttest::exists(noto)) {
        auto mono = locator.find("Noto Sans Mono CJK JP");
        ASSERT_TRUE(mono.has_value());
        EXPECT_EQ(mono->path, noto);
        EXPECT_EQ(mono->faceIndex, 5);
    }
}

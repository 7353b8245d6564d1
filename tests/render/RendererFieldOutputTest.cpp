// Form fields written into a real PDF and read back with qpdf: every field with its
// name, type and value, radio buttons inside their group.
#include <gtest/gtest.h>

#include <string>

#include "tests/render/RenderFixture.h"

using namespace rendertest;

namespace {

const char gothicFile[] = "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf";

TEST_F(RenderTest, FieldsAreWrittenWithTheirValues)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    TORPDF renderer;
    ASSERT_TRUE(renderer.initialize(nullptr));
    testsupport::writeFile(file("in.pdf"), onePagePdf("0 0 400 300"));
    ASSERT_TRUE(renderer.beginDocument(file("out.pdf").c_str()));
    ASSERT_TRUE(renderer.openPdiDocument(file("in.pdf").c_str()));
    ASSERT_TRUE(renderer.openPdiPage(1));
    ASSERT_TRUE(renderer.beginPage(400, 300));

    TORPDFPoint lowerLeft(20, 200), upperRight(220, 230);
    auto place = [&](TORPDFBlock& block, double down) {
        TORPDFPoint ll(lowerLeft.getX(), lowerLeft.getY() - down),
            ur(upperRight.getX(), upperRight.getY() - down);
        block.setCorner(&ll, true);
        block.setCorner(&ur, false);
    };
    // 山田
    TORPDFBlock name("fullname", TORPDFBlock::kindTextField, "\x8ER\x93\x63", nullptr, nullptr);
    TORPDFFont font("Gothic", gothicFile, "unicode", 11, nullptr, 0);
    name.setFont(&font);
    place(name, 0);
    TORPDFBlock cash("pay.cash", TORPDFBlock::kindRadioButton, nullptr, nullptr, nullptr);
    place(cash, 40);
    TORPDFBlock card("pay.card", TORPDFBlock::kindRadioButton, nullptr, "default", nullptr);
    place(card, 80);
    TORPDFBlock agree("agree", TORPDFBlock::kindCheckBox, nullptr, "default", nullptr);
    place(agree, 120);
    TORPDFBlock news("news", TORPDFBlock::kindCheckBox, nullptr, "Default", nullptr);
    place(news, 160);
    for (TORPDFBlock* block : {&name, &cash, &card, &agree, &news})
        EXPECT_TRUE(renderer.renderBlock(block)) << block->getName();
    renderer.closeDocument();

    testsupport::RunResult check = testsupport::run({"qpdf", "--check", file("out.pdf")});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    std::string json = testsupport::run({"qpdf", "--json", "--json-key=acroform", file("out.pdf")}).out;
    // The value qpdf lists after the first field of that name.
    auto valueOf = [&](const std::string& name) {
        size_t field = json.find("\"fullname\": \"" + name + "\"");
        if (field == std::string::npos)
            return std::string("(no field)");
        size_t value = json.find("\"value\": ", field);
        if (value == std::string::npos)
            return std::string("(no value)");
        value += 9;
        return json.substr(value, json.find('\n', value) - value);
    };
    EXPECT_EQ(valueOf("fullname"), "\"u:\xE5\xB1\xB1\xE7\x94\xB0\"") << json;
    // Both buttons in the group pay, the second one on.
    EXPECT_EQ(valueOf("pay"), "\"/card\"") << json;
    EXPECT_NE(valueOf("agree"), "\"/Off\"") << json;
    EXPECT_NE(valueOf("agree"), "(no field)") << json;
    EXPECT_EQ(valueOf("news"), "\"/Off\"") << json;
}

}  // namespace

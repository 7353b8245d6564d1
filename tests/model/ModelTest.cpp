#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/TORPDFArea.h"
#include "model/TORPDFBlock.h"
#include "model/TORPDFFile.h"
#include "model/TORPDFFont.h"
#include "model/TORPDFLineType.h"
#include "model/TORPDFPage.h"
#include "model/TORPDFPoint.h"
#include "model/TORPDFText.h"

namespace {

// A drawing object that counts how many of its kind are alive.
class Counted : public virtual TORPDFObject {
public:
    Counted() { ++alive; }
    ~Counted() override { --alive; }
    static inline int alive = 0;
};

TEST(PointTest, CopiesAndChains)
{
    TORPDFPoint p(1, 2);
    p.setX(3).setY(4);
    EXPECT_EQ(p.getX(), 3);
    EXPECT_EQ(p.getY(), 4);

    TORPDFPoint fromNone(static_cast<const TORPDFPoint*>(nullptr));
    EXPECT_EQ(fromNone.getX(), 0);
    EXPECT_EQ(fromNone.getY(), 0);
    TORPDFPoint copy(&p);
    EXPECT_EQ(copy.getX(), 3);
    copy.copyFrom(nullptr);
    EXPECT_EQ(copy.getY(), 4);
}

TEST(LineTypeTest, CopiesEveryField)
{
    TORPDFLineType type(1.5, 1, 2.5, 3.5, 2, 4.5, 0xFF8000);
    TORPDFLineType copy(&type);
    double black = 0, white = 0;
    copy.getDash(black, white);
    EXPECT_EQ(copy.getWidth(), 1.5);
    EXPECT_EQ(copy.getCap(), 1);
    EXPECT_EQ(black, 2.5);
    EXPECT_EQ(white, 3.5);
    EXPECT_EQ(copy.getJoin(), 2);
    EXPECT_EQ(copy.getMiter(), 4.5);
    EXPECT_EQ(copy.getColor(), 0xFF8000u);

    TORPDFLineType none(static_cast<const TORPDFLineType*>(nullptr));
    EXPECT_EQ(none.getWidth(), 0);
    EXPECT_EQ(none.getMiter(), 0);
    EXPECT_EQ(none.getColor(), 0u);
    none.copyFrom(type).setDash(7, 8).setColor(1);
    none.getDash(black, white);
    EXPECT_EQ(none.getWidth(), 1.5);
    EXPECT_EQ(black, 7);
    EXPECT_EQ(none.getColor(), 1u);
}

TEST(AreaTest, OwnsCopiesOfItsParts)
{
    auto start = std::make_unique<TORPDFPoint>(1, 2);
    auto type = std::make_unique<TORPDFLineType>(1, 0, 0, 0, 0, 0, 0xFF);
    TORPDFArea area(start.get(), nullptr, type.get(), 0x123456);
    start.reset();
    type.reset();
    EXPECT_EQ(area.getKind(), 1);
    EXPECT_EQ(area.getBgColor(), 0x123456u);
    ASSERT_NE(area.getPoint(0), nullptr);
    EXPECT_EQ(area.getPoint(0)->getY(), 2);
    EXPECT_EQ(area.getPoint(1), nullptr);
    EXPECT_EQ(area.getPoint(2), nullptr);
    EXPECT_EQ(area.getLineType()->getColor(), 0xFFu);

    // Setting a point to itself, and to none.
    area.setPoint(0, area.getPoint(0));
    EXPECT_EQ(area.getPoint(0)->getX(), 1);
    area.setPoint(1, nullptr);
    ASSERT_NE(area.getPoint(1), nullptr);
    EXPECT_EQ(area.getPoint(1)->getX(), 0);
    TORPDFPoint far(9, 9);
    area.setPoint(2, &far);
    EXPECT_EQ(area.getPoint(2), nullptr);
    area.setLineType(nullptr);
    EXPECT_EQ(area.getLineType()->getWidth(), 0);
    area.setLineType(area.getLineType());
    EXPECT_EQ(area.getLineType()->getWidth(), 0);
}

TEST(AreaTest, CopyFromAndClear)
{
    TORPDFPoint a(1, 1), b(2, 2);
    TORPDFArea source(&a, &b, nullptr, 7);
    source.setKind(2);
    TORPDFArea copy(source);
    EXPECT_EQ(copy.getKind(), 2);
    EXPECT_EQ(copy.getBgColor(), 7u);
    EXPECT_NE(copy.getPoint(0), source.getPoint(0));
    EXPECT_EQ(copy.getPoint(1)->getX(), 2);
    EXPECT_EQ(copy.getLineType(), nullptr);

    // Copying onto itself keeps everything.
    copy.copyFrom(&copy);
    ASSERT_NE(copy.getPoint(0), nullptr);

    copy.copyFrom(nullptr);
    EXPECT_EQ(copy.getPoint(0), nullptr);
    EXPECT_EQ(copy.getPoint(1), nullptr);
    EXPECT_EQ(copy.getKind(), 2);
    EXPECT_EQ(copy.getBgColor(), 7u);

    source.clear();
    EXPECT_EQ(source.getPoint(0), nullptr);
    EXPECT_EQ(source.getKind(), 2);
}

TEST(FontTest, SettersCopyAndCopyFromResets)
{
    std::string face = "Helvetica";
    TORPDFFont font(face.c_str(), nullptr, "winansi", 12, "embedding", 0xFF);
    face[0] = 'X';
    EXPECT_STREQ(font.getFace(), "Helvetica");
    EXPECT_EQ(font.getFile(), nullptr);
    font.setFace(font.getFace()).setOption(font.getOption());
    EXPECT_STREQ(font.getFace(), "Helvetica");
    EXPECT_STREQ(font.getOption(), "embedding");
    font.setEncoding(nullptr);
    EXPECT_EQ(font.getEncoding(), nullptr);

    // A copy stands on its own: changing either leaves the other as it was.
    TORPDFFont copy(&font);
    EXPECT_EQ(copy.getSize(), 12);
    TORPDFFont other(&font);
    other.setFace("Courier");
    EXPECT_STREQ(font.getFace(), "Helvetica");
    {
        TORPDFFont shortLived(&other);
        shortLived.clear();
    }
    EXPECT_STREQ(other.getFace(), "Courier");
    copy.copyFrom(&copy);
    EXPECT_STREQ(copy.getFace(), "Helvetica");
    copy.copyFrom(nullptr);
    EXPECT_EQ(copy.getFace(), nullptr);
    EXPECT_EQ(copy.getSize(), 0);
    EXPECT_EQ(copy.getColor(), 0u);

    font.clear();
    EXPECT_EQ(font.getFace(), nullptr);
    EXPECT_EQ(font.getOption(), nullptr);
    EXPECT_EQ(font.getSize(), 12);
    EXPECT_EQ(font.getColor(), 0xFFu);
    EXPECT_STREQ(other.getFace(), "Courier");
    EXPECT_STREQ(other.getOption(), "embedding");
}

TEST(TextTest, PointsAreChosenByTheLowByte)
{
    TORPDFPoint at(10, 20);
    TORPDFFont font("F", nullptr, nullptr, 9, nullptr, 0);
    TORPDFText text("abc", 0x11, &at, &font);
    EXPECT_STREQ(text.getText(), "abc");
    EXPECT_EQ(text.getAlign(), 0x11);
    EXPECT_EQ(text.getCharSpacing(), -1);
    EXPECT_EQ(text.getWordSpacing(), -1);
    EXPECT_EQ(text.getMargin(), 3.0);
    EXPECT_EQ(text.getPoint(true)->getX(), 10);
    EXPECT_EQ(text.getPoint(false), nullptr);
    // 0x100 has a low byte of 0: the box.
    EXPECT_EQ(text.getPoint(0x100), nullptr);

    TORPDFPoint box(50, 12);
    text.setPoint(&box, 0x100).setAlign(0x122).setCharSpacing(0).setMargin(1.5);
    EXPECT_EQ(text.getPoint(false)->getX(), 50);
    EXPECT_EQ(text.getPoint(true)->getX(), 10);
    text.setPoint(text.getPoint(true), true);
    EXPECT_EQ(text.getPoint(true)->getY(), 20);
    text.setText(text.getText()).setFont(text.getFont());
    EXPECT_STREQ(text.getText(), "abc");
    EXPECT_STREQ(text.getFont()->getFace(), "F");

    TORPDFText copy(text);
    EXPECT_NE(copy.getText(), text.getText());
    EXPECT_NE(copy.getFont(), text.getFont());
    EXPECT_EQ(copy.getPoint(false)->getY(), 12);
    EXPECT_EQ(copy.getAlign(), 0x122);
    EXPECT_EQ(copy.getMargin(), 1.5);

    text.setPoint(nullptr, true).setFont(nullptr).setText(nullptr);
    EXPECT_EQ(text.getPoint(true), nullptr);
    EXPECT_EQ(text.getFont(), nullptr);
    EXPECT_EQ(text.getText(), nullptr);
    copy = text;
    EXPECT_EQ(copy.getPoint(true), nullptr);
    EXPECT_EQ(copy.getPoint(false)->getX(), 50);
    copy.clear();
    EXPECT_EQ(copy.getPoint(false), nullptr);
    EXPECT_EQ(copy.getAlign(), 0x122);
}

TEST(BlockTest, CornersAndCopies)
{
    TORPDFBlock block("name", 1, nullptr, "default", "");
    EXPECT_STREQ(block.getName(), "name");
    EXPECT_EQ(block.getDescription(), nullptr);
    EXPECT_STREQ(block.getState(), "default");
    EXPECT_STREQ(block.getOptions(), "");
    EXPECT_EQ(block.getFont(), nullptr);
    EXPECT_EQ(block.getCorner(true), nullptr);

    TORPDFPoint lowerLeft(1, 2), upperRight(3, 4);
    block.setCorner(&lowerLeft, true).setCorner(&upperRight, false).setKind(5);
    EXPECT_EQ(block.getCorner(true)->getX(), 1);
    EXPECT_EQ(block.getCorner(false)->getX(), 3);
    EXPECT_EQ(block.getCorner(0x200)->getX(), 3);
    TORPDFFont font("F", nullptr, nullptr, 9, nullptr, 0);
    block.setFont(&font).setName(block.getName()).setDescription("d");

    TORPDFBlock copy(block);
    EXPECT_EQ(copy.getKind(), 5);
    EXPECT_NE(copy.getCorner(true), block.getCorner(true));
    EXPECT_EQ(copy.getCorner(true)->getY(), 2);
    EXPECT_STREQ(copy.getFont()->getFace(), "F");
    EXPECT_STREQ(copy.getName(), "name");

    block.clear();
    EXPECT_EQ(block.getName(), nullptr);
    EXPECT_EQ(block.getOptions(), nullptr);
    EXPECT_EQ(block.getFont(), nullptr);
    EXPECT_EQ(block.getCorner(false), nullptr);
    EXPECT_EQ(block.getKind(), 5);
    copy = block;
    EXPECT_EQ(copy.getFont(), nullptr);
    EXPECT_EQ(copy.getState(), nullptr);
}

TEST(PageTest, HoldsAndDeletesItsObjects)
{
    ASSERT_EQ(Counted::alive, 0);
    {
        TORPDFPage page(1, 595, 842);
        EXPECT_EQ(page.getPageNo(), 1);
        EXPECT_EQ(page.getPdiPage(), 0);
        EXPECT_EQ(page.getPdiOption(), nullptr);
        EXPECT_EQ(page.getCapacity(), 128);
        for (int i = 0; i < 129; ++i)
            ASSERT_EQ(page.add(new Counted), i);
        EXPECT_EQ(page.getCapacity(), 160);
        EXPECT_EQ(Counted::alive, 129);

        page.setPdiOption("adjustpage").setPdiProcess("x").setPdiPage(3).setWidth(10).setHeight(20);
        EXPECT_STREQ(page.getPdiOption(), "adjustpage");
        page.setPdiOption(page.getPdiOption());
        EXPECT_STREQ(page.getPdiOption(), "adjustpage");
        page.setPdiOption(nullptr);
        EXPECT_EQ(page.getPdiOption(), nullptr);
        EXPECT_EQ(page.getHeight(), 20);
    }
    EXPECT_EQ(Counted::alive, 0);
}

TEST(FileTest, OwnsItsPagesInOrder)
{
    {
        TORPDFFile file("out.pdf", nullptr, "creator", nullptr, "title", "master", nullptr, "noprint");
        EXPECT_STREQ(file.getPdfName(), "out.pdf");
        EXPECT_EQ(file.getPdiName(), nullptr);
        EXPECT_STREQ(file.getPermissions(), "noprint");
        EXPECT_EQ(file.getCompatibility(), nullptr);
        EXPECT_EQ(file.getCapacity(), 16);
        for (int n = 1; n <= 17; ++n) {
            auto* page = new TORPDFPage(n, 1, 1);
            page->add(new Counted);
            ASSERT_EQ(file.add(page), n - 1);
        }
        EXPECT_EQ(file.getCapacity(), 24);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(dynamic_cast<TORPDFPage*>(file.get(i))->getPageNo(), i + 1);
        file.setTrace("trace.txt").setPath("/fonts").setTitle(nullptr).setCreator(file.getCreator());
        EXPECT_STREQ(file.getTrace(), "trace.txt");
        EXPECT_EQ(file.getTitle(), nullptr);
        EXPECT_STREQ(file.getCreator(), "creator");
        EXPECT_EQ(Counted::alive, 17);
    }
    EXPECT_EQ(Counted::alive, 0);
}

}  // namespace

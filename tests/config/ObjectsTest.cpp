#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <string>

#include "config/Units.h"
#include "config/tr_pdfarea.h"
#include "config/tr_pdfblock.h"
#include "config/tr_pdffont.h"
#include "config/tr_pdflinetype.h"
#include "config/tr_pdfpage.h"
#include "config/tr_pdfpoint.h"
#include "config/tr_pdftext.h"
#include "tests/config/ConfigFixture.h"

namespace {

using namespace std::string_literals;

const double pageHeight = 2975 / 3.528;

// The objects of page 1 of a document with one page.
class ObjectsTest : public ConfigTest {
protected:
    const TORPDFPage* page(const std::string& sections, const std::string& pageKeys)
    {
        document_ = load(minimal("[PAGE_1]\n" + pageKeys + sections));
        return dynamic_cast<const TORPDFPage*>(document_->get(0));
    }

    // Writes one object section [S] and loads an object of class T from it.
    template <class T, class... Extra>
    std::unique_ptr<T> object(const std::string& keys, Extra... extra)
    {
        write("[S]\n" + keys);
        return std::make_unique<T>("S", path().c_str(), extra...);
    }

private:
    std::unique_ptr<tr_pdffile> document_;
};

TEST_F(ObjectsTest, ObjectTypesMakeTheirObjectsInOrder)
{
    const TORPDFPage* p = page(
        "[PUT_1_1]\nobject_type=text\ntext=hello\n"
        "[PUT_1_2]\nobject_type=block\nname=b\n"
        "[PUT_1_3]\nobject_type=line\n"
        "[PUT_1_4]\nobject_type=rect\n"
        "[PUT_1_5]\nobject_type=text\n",
        "objects=4\n");
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->getCount(), 4);
    auto* text = dynamic_cast<TORPDFText*>(p->get(0));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text->getText(), "hello");
    EXPECT_NE(dynamic_cast<TORPDFBlock*>(p->get(1)), nullptr);
    auto* line = dynamic_cast<TORPDFArea*>(p->get(2));
    auto* rect = dynamic_cast<TORPDFArea*>(p->get(3));
    ASSERT_TRUE(line && rect);
    EXPECT_EQ(line->getKind(), 1);
    EXPECT_EQ(rect->getKind(), 2);
}

TEST_F(ObjectsTest, UnknownObjectTypesAreErrors)
{
    EXPECT_EQ(loadError(minimal("[PAGE_1]\nobjects=1\n[PUT_1_1]\nobject_type=Text\n")),
              badObjectType("Text", "PUT_1_1"));
    // objects=3 with two sections fails on the third, with nothing between the quotes.
    EXPECT_EQ(loadError("[PDF]\npdfName=out.pdf\npages=2\n[PAGE_2]\nobjects=3\n"
                        "[PUT_2_1]\nobject_type=line\n[PUT_2_2]\nobject_type=rect\n"),
              badObjectType("", "PUT_2_3"));
    EXPECT_EQ(loadError(minimal("[PAGE_1]\nobjects=3\n[PUT_1_1]\nobject_type=line\n"
                                "[PUT_1_2]\nobject_type=text\ntext=x\n")),
              badObjectType("", "PUT_1_3"));
    // A huge count fails at the first missing section instead of reserving room.
    EXPECT_EQ(loadError(minimal("[PAGE_1]\nobjects=2000000000\n[PUT_1_1]\nobject_type=line\n")),
              badObjectType("", "PUT_1_2"));
    std::string longType(300, 't');
    EXPECT_EQ(loadError(minimal("[PAGE_1]\nobjects=1\n[PUT_1_1]\nobject_type=" + longType + "\n")),
              badObjectType(std::string(255, 't'), "PUT_1_1"));
}

TEST_F(ObjectsTest, NegativeObjectCountsGiveAnEmptyPage)
{
    const TORPDFPage* p = page("[PUT_1_1]\nobject_type=line\n", "objects=-5\n");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->getCount(), 0);
}

TEST_F(ObjectsTest, PointsMeasureFromTheTop)
{
    write("[S]\nleft=1000\ntop=1000\n");
    tr_pdfpoint point("S", "left", "top", path().c_str(), pageHeight);
    EXPECT_NEAR(point.getX(), 283.4467, 1e-4);
    EXPECT_NEAR(point.getY(), 559.8073, 1e-4);
    tr_pdfpoint missing("S", "x", "y", path().c_str(), pageHeight);
    EXPECT_EQ(missing.getX(), 0);
    EXPECT_EQ(missing.getY(), pageHeight);
}

TEST_F(ObjectsTest, LineTypeKeysAreLengths)
{
    auto type = object<tr_pdflinetype>("");
    EXPECT_NEAR(type->getWidth(), 0.8503, 1e-4);
    EXPECT_NEAR(type->getMiter(), 0.8503, 1e-4);
    EXPECT_EQ(type->getCap(), 0);
    EXPECT_EQ(type->getJoin(), 0);
    EXPECT_EQ(type->getColor(), 0u);

    type = object<tr_pdflinetype>("width=0\ncap=1\njoin=4\nblack=10\nwhite=20\nmiter=36\ncolor=FF8000\n");
    EXPECT_EQ(type->getWidth(), 0);
    EXPECT_EQ(type->getCap(), 0);
    EXPECT_EQ(type->getJoin(), 1);
    double black = 0, white = 0;
    type->getDash(black, white);
    EXPECT_DOUBLE_EQ(black, toPoints(10));
    EXPECT_DOUBLE_EQ(white, toPoints(20));
    EXPECT_DOUBLE_EQ(type->getMiter(), toPoints(36));
    EXPECT_EQ(type->getColor(), 0xFF8000u);

    struct Case {
        const char* keys;
        uint16_t cap;
        uint32_t color;
    } cases[] = {{"cap=4\ncolor=0xFF8000\n", 1, 0xFF8000},
                 {"cap=8\ncolor=red\n", 2, 0},
                 {"cap=11\ncolor= -1\n", 3, 0xFFFFFFFF},
                 {"cap=-4\ncolor=1FFFFFFFF\n", 0xFFFF, 0xFFFFFFFF}};
    for (const Case& c : cases) {
        type = object<tr_pdflinetype>(c.keys);
        EXPECT_EQ(type->getCap(), c.cap) << c.keys;
        EXPECT_EQ(type->getColor(), c.color) << c.keys;
    }
}

TEST_F(ObjectsTest, Areas)
{
    auto area = object<tr_pdfarea>("left=100\ntop=100\nright=200\nbottom=500\n", pageHeight);
    EXPECT_EQ(area->getKind(), 1);
    EXPECT_EQ(area->getBgColor(), 0u);
    EXPECT_NEAR(area->getPoint(0)->getY(), pageHeight - 28.3447, 1e-4);
    EXPECT_NEAR(area->getPoint(1)->getY(), pageHeight - 141.7234, 1e-4);
    EXPECT_NEAR(area->getPoint(1)->getY() - area->getPoint(0)->getY(), -113.3787, 1e-4);
    EXPECT_DOUBLE_EQ(area->getPoint(1)->getX(), toPoints(200));
    ASSERT_NE(area->getLineType(), nullptr);
    EXPECT_NEAR(area->getLineType()->getWidth(), 0.8503, 1e-4);

    EXPECT_EQ(object<tr_pdfarea>("bgcolor=000001\n", pageHeight)->getBgColor(), 1u);
    EXPECT_EQ(object<tr_pdfarea>("bgcolor=000000\n", pageHeight)->getBgColor(), 0u);
    EXPECT_EQ(object<tr_pdfarea>("bgcolor=0x00FF00\n", pageHeight)->getBgColor(), 0x00FF00u);
}

TEST_F(ObjectsTest, Fonts)
{
    auto font = object<tr_pdffont>("");
    EXPECT_EQ(font->getFace(), nullptr);
    EXPECT_EQ(font->getFile(), nullptr);
    EXPECT_EQ(font->getEncoding(), nullptr);
    EXPECT_EQ(font->getOption(), nullptr);
    EXPECT_EQ(font->getSize(), 8);
    EXPECT_EQ(font->getColor(), 0u);

    font = object<tr_pdffont>("face=F\nfile=\nencoding=unicode\nsize=12\noption=embedding\ncolor=0000FF\n");
    EXPECT_STREQ(font->getFace(), "F");
    EXPECT_EQ(font->getFile(), nullptr);
    EXPECT_STREQ(font->getEncoding(), "unicode");
    EXPECT_EQ(font->getSize(), 12);
    EXPECT_STREQ(font->getOption(), "embedding");
    EXPECT_EQ(font->getColor(), 0xFFu);
}

// Runs in another current folder until it goes away.
class InFolder {
public:
    explicit InFolder(const std::string& folder) : previous_(getcwd(nullptr, 0))
    {
        EXPECT_EQ(chdir(folder.c_str()), 0) << folder;
    }
    ~InFolder()
    {
        EXPECT_EQ(chdir(previous_), 0);
        free(previous_);
    }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    char* previous_;
};

TEST_F(ObjectsTest, FontFilesMustExistRelativeToTheCurrentFolder)
{
    testsupport::writeFile(file("font.ttf"), "not really a font");
    std::string absolute = file("font.ttf");
    {
        testsupport::TempDir elsewhere;
        InFolder in(elsewhere.path().string());
        EXPECT_EQ(object<tr_pdffont>("face=F\nfile=" + absolute + "\n")->getFile(), absolute);
        write("[S]\nface=F\nfile=font.ttf\n");
        try {
            tr_pdffont missing("S", path().c_str());
            ADD_FAILURE() << "a missing font file was accepted";
        } catch (const TORPDFException& error) {
            EXPECT_EQ(error.getCode(), -1);
            EXPECT_EQ(error.getMessage(), fileNotFound("font.ttf", "S"));
        }
    }
    InFolder in(file(""));
    EXPECT_STREQ(object<tr_pdffont>("face=F\nfile=font.ttf\n")->getFile(), "font.ttf");
}

TEST_F(ObjectsTest, FontErrorsFreeWhatWasBuilt)
{
    // Under the sanitizers a leak of the text, its point or the page would show here.
    EXPECT_EQ(loadError(minimal("[PAGE_1]\nobjects=2\n[PUT_1_1]\nobject_type=line\n"
                                "[PUT_1_2]\nobject_type=text\nface=F\nfile=/no/such/font.ttf\n")),
              fileNotFound("/no/such/font.ttf", "PUT_1_2"));
    EXPECT_EQ(loadError("[PDF]\npdfName=out.pdf\npages=2\n[PAGE_2]\nobjects=1\n"
                        "[PUT_2_1]\nobject_type=block\nface=F\nfile=/no/such.ttf\n"),
              fileNotFound("/no/such.ttf", "PUT_2_1"));
}

TEST_F(ObjectsTest, AlignWordsAreSearched)
{
    struct Case {
        const char* keys;
        uint16_t align;
    } cases[] = {{"", 0x11},
                 {"align=right\n", 0x14},
                 {"align=center bottom\n", 0x42},
                 {"align=middle\n", 0x21},
                 {"align=upright\n", 0x14},
                 {"align=Left\n", 0x11},
                 {"align=left right\n", 0x11},
                 {"align=\n", 0x11},
                 {"align=bottomcenter\n", 0x42},
                 // ル (83 8B) then "eft": "left" does not start inside a character.
                 {"align=\x83\x6C"
                  "eft\n",
                  0x11},
                 {"align=\x83\x6C"
                  "eftright\n",
                  0x14}};
    for (const Case& c : cases)
        EXPECT_EQ(object<tr_pdftext>(c.keys, pageHeight)->getAlign(), c.align) << c.keys;
}

TEST_F(ObjectsTest, TextDefaultsAndSpacings)
{
    auto text = object<tr_pdftext>("", pageHeight);
    ASSERT_NE(text->getText(), nullptr);
    EXPECT_STREQ(text->getText(), "");
    EXPECT_EQ(text->getCharSpacing(), -1);
    EXPECT_EQ(text->getWordSpacing(), -1);
    EXPECT_EQ(text->getMargin(), 3.0);
    EXPECT_EQ(text->getPoint(false), nullptr);
    ASSERT_NE(text->getPoint(true), nullptr);
    EXPECT_EQ(text->getPoint(true)->getY(), pageHeight);
    ASSERT_NE(text->getFont(), nullptr);
    EXPECT_EQ(text->getFont()->getSize(), 8);

    text = object<tr_pdftext>("charspacing=0\nwordspacing=70000\nx=100\ny=200\nsize=20\n", pageHeight);
    EXPECT_EQ(text->getCharSpacing(), 0);
    EXPECT_EQ(text->getWordSpacing(), static_cast<int16_t>(70000));
    EXPECT_DOUBLE_EQ(text->getPoint(true)->getX(), toPoints(100));
    EXPECT_EQ(text->getFont()->getSize(), 20);
}

TEST_F(ObjectsTest, TextValuesAreCutAt511Bytes)
{
    auto text = object<tr_pdftext>("text=" + std::string(600, 'a') + "\n", pageHeight);
    EXPECT_EQ(std::string(text->getText()), std::string(511, 'a'));
    // A two-byte character that would end past byte 511 is left out whole.
    text = object<tr_pdftext>("text=" + std::string(510, 'a') + "\x82\xA0\n", pageHeight);
    EXPECT_EQ(std::string(text->getText()), std::string(510, 'a'));
}

TEST_F(ObjectsTest, TextFilesAreReadAsText)
{
    std::string name = file("text.txt");
    testsupport::writeFile(name, "a\r\nb");
    auto text = object<tr_pdftext>("textfile=" + name + "\ntext=ignored\n", pageHeight);
    EXPECT_STREQ(text->getText(), "a\nb");
    // The buffer has the file's size + 1 bytes, zero after the text.
    EXPECT_EQ(std::string(text->getText(), 5), "a\nb\0\0"s);

    testsupport::writeFile(name,
                           "one\r\rtwo\r\nthree\x1A"
                           "after");
    EXPECT_STREQ(object<tr_pdftext>("textfile=" + name + "\n", pageHeight)->getText(), "one\r\rtwo\nthree");
    testsupport::writeFile(name, "zero\0byte"s);
    EXPECT_STREQ(object<tr_pdftext>("textfile=" + name + "\n", pageHeight)->getText(), "zero");
    testsupport::writeFile(name, "");
    EXPECT_STREQ(object<tr_pdftext>("textfile=" + name + "\n", pageHeight)->getText(), "");

    // A missing file, a folder and a device give an empty text; "text" is not used.
    for (const std::string& other : {file("missing.txt"), file(""), std::string("/dev/zero")}) {
        text = object<tr_pdftext>("textfile=" + other + "\ntext=ignored\n", pageHeight);
        ASSERT_NE(text->getText(), nullptr) << other;
        EXPECT_STREQ(text->getText(), "") << other;
    }
}

TEST_F(ObjectsTest, Blocks)
{
    auto block = object<tr_pdfblock>("");
    EXPECT_EQ(block->getKind(), 1);
    EXPECT_STREQ(block->getName(), "");
    EXPECT_STREQ(block->getDescription(), "");
    EXPECT_STREQ(block->getOptions(), "");
    EXPECT_EQ(block->getState(), nullptr);
    EXPECT_EQ(block->getFont(), nullptr);
    EXPECT_EQ(block->getCorner(true), nullptr);
    EXPECT_EQ(block->getCorner(false), nullptr);

    struct Case {
        const char* type;
        uint16_t kind;
    } cases[] = {{"image", 2}, {"Image", 2}, {"IMAGE", 2}, {"pdf", 3}, {"picture", 1}, {"TeXt", 1}, {"", 1}};
    for (const Case& c : cases)
        EXPECT_EQ(object<tr_pdfblock>(std::string("type=") + c.type + "\n")->getKind(), c.kind) << c.type;

    block = object<tr_pdfblock>("name=n\ntype=text\ndescription=" + std::string(200, 'd') + "\n");
    EXPECT_STREQ(block->getName(), "n");
    EXPECT_EQ(std::string(block->getDescription()), std::string(127, 'd'));
    EXPECT_STREQ(block->getOptions(), "");
    EXPECT_EQ(block->getFont(), nullptr);

    // A font only with a face; a file without a face is never looked at.
    block = object<tr_pdfblock>("file=/no/such.ttf\n");
    EXPECT_EQ(block->getFont(), nullptr);
    block = object<tr_pdfblock>("face=HeiseiMin-W3\nencoding=UniJIS-UCS2-H\nsize=10\n");
    ASSERT_NE(block->getFont(), nullptr);
    EXPECT_STREQ(block->getFont()->getFace(), "HeiseiMin-W3");
    EXPECT_EQ(block->getFont()->getSize(), 10);
}

}  // namespace

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <string>
#include <thread>
#include <vector>

#include "platform/profile.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace std::string_literals;
using testsupport::TempDir;
using testsupport::writeFile;

// A profile file written by the test, read through the public functions.
class Profile {
public:
    explicit Profile(const std::string& bytes) : path_(dir_.file("test.conf")) { writeFile(path_, bytes); }

    std::string text(const char* section, const char* key, const char* defaultValue = "<default>",
                     uint32_t size = 256) const
    {
        std::string buffer(size + 8, '#');
        uint32_t n =
            platform::getPrivateProfileString(section, key, defaultValue, buffer.data(), size, path_.c_str());
        std::string value(buffer.c_str());
        EXPECT_EQ(n, value.size()) << "returned length of " << section << "/" << key;
        // A reader of the whole section gives the same.
        std::string again(size + 8, '#');
        platform::ProfileSection keys(path_.c_str(), section);
        EXPECT_EQ(keys.getString(key, defaultValue, again.data(), size), n) << section << "/" << key;
        EXPECT_EQ(std::string(again.c_str()), value) << section << "/" << key;
        return value;
    }
    int32_t integer(const char* section, const char* key, int32_t defaultValue = 77) const
    {
        int32_t value = platform::getPrivateProfileInt(section, key, defaultValue, path_.c_str());
        EXPECT_EQ(platform::ProfileSection(path_.c_str(), section).getInt(key, defaultValue), value)
            << section << "/" << key;
        return value;
    }
    void rewrite(const std::string& bytes) const { writeFile(path_, bytes); }
    const std::string& path() const { return path_; }

private:
    TempDir dir_;
    std::string path_;
};

TEST(ProfileTest, LinesEndAtAnyLineBreakAndZeroByte)
{
    Profile p("[s]\r\na=1\r\n\r\n   \t\nb=2\nc=3\rd=4\r\re=x\0ignored\nf=last"s);
    EXPECT_EQ(p.text("s", "a"), "1");
    EXPECT_EQ(p.text("s", "b"), "2");
    EXPECT_EQ(p.text("s", "c"), "3");
    EXPECT_EQ(p.text("s", "d"), "4");
    EXPECT_EQ(p.text("s", "e"), "x");
    EXPECT_EQ(p.text("s", "f"), "last");
    // What follows the zero byte is not a key of its own.
    EXPECT_EQ(p.text("s", "ignored"), "<default>");
}

TEST(ProfileTest, SectionHeaders)
{
    Profile p(
        "early=0\n"
        "  [ First Section ]  trailing=ignored\n"
        "a=1\n"
        "[broken=2\n"
        "b=3\n"
        "[x]y]\n"
        "c=4\n"
        "[\x83\x5D]\n"  // ゾ: its trail byte is "]", but the character is not
        "d=5\n"
        "[\x83\x5D\n"  // no real "]": neither header nor key
        "e=6\n");
    EXPECT_EQ(p.text("", "early"), "0");
    EXPECT_EQ(p.text("first section", "a"), "1");
    EXPECT_EQ(p.text("first section", "trailing"), "<default>");
    // A "[" line without "]" is ignored: the keys after it stay in the section before.
    EXPECT_EQ(p.text("first section", "b"), "3");
    EXPECT_EQ(p.text("broken=2", "b"), "<default>");
    EXPECT_EQ(p.text("first section", "[broken"), "<default>");
    EXPECT_EQ(p.text("x]y", "c"), "4");
    EXPECT_EQ(p.text("\x83\x5D", "d"), "5");
    EXPECT_EQ(p.text("\x83\x5D", "e"), "6");
    EXPECT_EQ(p.text("", "a"), "<default>");
}

TEST(ProfileTest, SectionNamesAreListedAsWrittenInFileOrder)
{
    Profile p(
        "early=0\n"
        "  [ First Section ]  trailing\n"
        "[broken\n"
        "[\x83\x5D]\n"  // ゾ
        "[first section]\n"
        "[]\n");
    EXPECT_EQ(platform::getPrivateProfileSectionNames(p.path().c_str()),
              (std::vector<std::string>{"First Section", "\x83\x5D", "first section", ""}));
    p.rewrite("[other]\n");
    EXPECT_EQ(platform::getPrivateProfileSectionNames(p.path().c_str()), std::vector<std::string>{"other"});
    EXPECT_TRUE(platform::getPrivateProfileSectionNames("/no/such/file.ini").empty());
}

TEST(ProfileTest, KeyLines)
{
    Profile p(
        "[s]\n"
        "  name  =  value with  inner blanks \t\n"
        "eq = a = b\n"
        ";x=1\n"
        "no equals here\n"
        "=nameless\n"
        "empty=\n"
        "\tblank =   \n");
    EXPECT_EQ(p.text("s", "name"), "value with  inner blanks");
    EXPECT_EQ(p.text("s", "eq"), "a = b");
    EXPECT_EQ(p.text("s", ";x"), "1");
    EXPECT_EQ(p.text("s", "x"), "<default>");
    EXPECT_EQ(p.text("s", "no equals here"), "<default>");
    EXPECT_EQ(p.text("s", ""), "nameless");
    EXPECT_EQ(p.text("s", "empty"), "");
    EXPECT_EQ(p.text("s", "blank"), "");
}

TEST(ProfileTest, OneQuotePairIsRemoved)
{
    Profile p(
        "[s]\n"
        "double=\"  spaced  \"\n"
        "single= 'abc' \n"
        "mixed=\"abc'\n"
        "open=\"abc\n"
        "lone=\"\n"
        "pair=\"\"\n"
        "nested=\"\"a\"\"\n"
        "inner=a\"b\"\n");
    EXPECT_EQ(p.text("s", "double"), "  spaced  ");
    EXPECT_EQ(p.text("s", "single"), "abc");
    EXPECT_EQ(p.text("s", "mixed"), "\"abc'");
    EXPECT_EQ(p.text("s", "open"), "\"abc");
    EXPECT_EQ(p.text("s", "lone"), "\"");
    EXPECT_EQ(p.text("s", "pair"), "");
    EXPECT_EQ(p.text("s", "nested"), "\"a\"");
    EXPECT_EQ(p.text("s", "inner"), "a\"b\"");
}

TEST(ProfileTest, NamesFoldOnlyAsciiLetters)
{
    Profile p(
        "[PDF]\n"
        "PdfName=out.pdf\n"
        "[\x83\x61]\n"  // ヂ: trail byte "a"
        "k=1\n"
        "[\x82\x60]\n"  // full-width Ａ
        "k=2\n");
    EXPECT_EQ(p.text("pdf", "PDFNAME"), "out.pdf");
    EXPECT_EQ(p.text("  PDF\t", " pdfname "), "out.pdf");
    EXPECT_EQ(p.text("PDF", "pdf name"), "<default>");
    EXPECT_EQ(p.text("\x83\x61", "K"), "1");
    // ア has the trail byte "A": folding it would make it ヂ.
    EXPECT_EQ(p.text("\x83\x41", "k"), "<default>");
    // Full-width ａ is another character than Ａ.
    EXPECT_EQ(p.text("\x82\x81", "k"), "<default>");
}

TEST(ProfileTest, FirstSectionAndFirstKeyWin)
{
    Profile p(
        "[a]\n"
        "k=first\n"
        "k=second\n"
        "empty=\n"
        "empty=later\n"
        "[b]\n"
        "k=b\n"
        "[A]\n"
        "k=repeated\n"
        "only=in repeat\n");
    EXPECT_EQ(p.text("a", "k"), "first");
    EXPECT_EQ(p.text("a", "empty"), "");
    EXPECT_EQ(p.text("a", "only"), "<default>");
    EXPECT_EQ(p.text("b", "only"), "<default>");
    EXPECT_EQ(p.text("b", "k"), "b");
}

TEST(ProfileTest, LargeSectionsKeepTheirRules)
{
    std::string text = "[big]\n";
    for (int i = 0; i < 200; ++i)
        text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    text += "key7=again\nempty=\nEMPTY=later\n[next]\nkey7=next\n";
    Profile p(text);
    EXPECT_EQ(p.text("big", "key0"), "0");
    EXPECT_EQ(p.text("big", "KEY199"), "199");
    EXPECT_EQ(p.text("big", "key7"), "7");
    EXPECT_EQ(p.text("big", "empty"), "");
    EXPECT_EQ(p.text("big", "key200"), "<default>");
    EXPECT_EQ(p.text("next", "key7"), "next");
}

TEST(ProfileTest, SectionReadersSeeTheirVersionOfTheFile)
{
    // More keys than a reader keeps at hand, and keys that differ only in case.
    std::string text = "[many]\n";
    for (int i = 0; i < 40; ++i)
        text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    text += "K3=upper\n[few]\nName=1\nNAME=2\n";
    Profile p(text);
    EXPECT_EQ(p.text("MANY", "k39"), "39");
    EXPECT_EQ(p.text("many", "K3"), "3");
    EXPECT_EQ(p.text("few", "name"), "1");

    // Readers opened one after another on the same section follow a rewrite.
    char value[16];
    platform::ProfileSection before(p.path().c_str(), "few");
    p.rewrite("[few]\nname=changed\n");
    platform::ProfileSection after(p.path().c_str(), "few");
    before.getString("name", "", value, sizeof value);
    EXPECT_STREQ(value, "1");
    after.getString("name", "", value, sizeof value);
    EXPECT_STREQ(value, "changed");
    EXPECT_EQ(platform::ProfileSection("/nonexistent/file.conf", "few").getInt("name", 5), 5);
}

TEST(ProfileTest, ShiftJisBytesPassThrough)
{
    // 表 ends in "\", ソ in "\" too; "\x81\x5B" is ー.
    Profile p("[\x95\x5C]\nkey\x83\x5C=\x95\x5C\x81\x5B\x83\x5C\n");
    EXPECT_EQ(p.text("\x95\x5C", "key\x83\x5C"), "\x95\x5C\x81\x5B\x83\x5C");
}

TEST(ProfileTest, CopiesAreBoundedAndWhole)
{
    // a, b, then あ (82 A0), then c.
    Profile p(
        "[s]\nk=ab\x82\xA0"
        "c\n");
    EXPECT_EQ(p.text("s", "k", "", 3), "ab");
    EXPECT_EQ(p.text("s", "k", "", 4), "ab");
    EXPECT_EQ(p.text("s", "k", "", 5), "ab\x82\xA0");
    EXPECT_EQ(p.text("s", "k", "", 1), "");
    EXPECT_EQ(p.text("s", "missing", "ab\x82\xA0", 4), "ab");

    char untouched = 'x';
    EXPECT_EQ(platform::getPrivateProfileString("s", "k", "", &untouched, 0, p.path().c_str()), 0u);
    EXPECT_EQ(untouched, 'x');
    EXPECT_EQ(platform::getPrivateProfileString("s", "k", "", nullptr, 10, p.path().c_str()), 0u);
}

TEST(ProfileTest, DefaultsForWhatIsMissing)
{
    Profile p("[s]\nk=v\n");
    TempDir other;
    std::string missing = other.file("none.conf");
    char buffer[64];
    EXPECT_EQ(platform::getPrivateProfileString("s", "k", "dflt", buffer, sizeof buffer, missing.c_str()),
              4u);
    EXPECT_STREQ(buffer, "dflt");
    // A folder is not a file, and a FIFO is not read (it could block or never end).
    platform::getPrivateProfileString("s", "k", "dflt", buffer, sizeof buffer, other.path().c_str());
    EXPECT_STREQ(buffer, "dflt");
    std::string fifo = other.file("fifo.conf");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    platform::getPrivateProfileString("s", "k", "dflt", buffer, sizeof buffer, fifo.c_str());
    EXPECT_STREQ(buffer, "dflt");

    EXPECT_EQ(p.text("t", "k"), "<default>");
    EXPECT_EQ(p.text("s", "other"), "<default>");
    // The default loses trailing spaces and a quote pair, like a value.
    EXPECT_EQ(p.text("s", "other", "  text  "), "  text");
    EXPECT_EQ(p.text("s", "other", "'quoted'  "), "quoted");
    EXPECT_EQ(p.text("s", "other", nullptr), "");
    EXPECT_EQ(p.text(nullptr, "k"), "<default>");
    EXPECT_EQ(p.text("s", nullptr), "<default>");
}

TEST(ProfileTest, Integers)
{
    Profile p(
        "[n]\n"
        "dec=123\n"
        "neg=-45xyz\n"
        "plus=+7\n"
        "hex=0x1F\n"
        "upperhex=0X1F\n"
        "negHex=-0x10\n"
        "oct=0o17\n"
        "bin=0b101\n"
        "binStop=0b1012\n"
        "leadingZero=0010\n"
        "letters=abc\n"
        "prefixOnly=0x\n"
        "quoted=\"  42\"\n"
        "wrap=4294967297\n"
        "big=2147483648\n"
        "under=-2147483649\n"
        "long=0000000000000000000000000001234\n"
        "empty=\n"
        "quotedEmpty=''\n");
    EXPECT_EQ(p.integer("n", "dec"), 123);
    EXPECT_EQ(p.integer("n", "neg"), -45);
    EXPECT_EQ(p.integer("n", "plus"), 7);
    EXPECT_EQ(p.integer("n", "hex"), 31);
    EXPECT_EQ(p.integer("n", "upperhex"), 0);
    EXPECT_EQ(p.integer("n", "negHex"), -16);
    EXPECT_EQ(p.integer("n", "oct"), 15);
    EXPECT_EQ(p.integer("n", "bin"), 5);
    EXPECT_EQ(p.integer("n", "binStop"), 5);
    EXPECT_EQ(p.integer("n", "leadingZero"), 10);
    EXPECT_EQ(p.integer("n", "letters"), 0);
    EXPECT_EQ(p.integer("n", "prefixOnly"), 0);
    EXPECT_EQ(p.integer("n", "quoted"), 42);
    EXPECT_EQ(p.integer("n", "wrap"), 1);
    EXPECT_EQ(p.integer("n", "big"), INT32_MIN);
    EXPECT_EQ(p.integer("n", "under"), INT32_MAX);
    // Only the first 29 characters are read: "…0001" of 31 characters loses "34".
    EXPECT_EQ(p.integer("n", "long"), 12);
    EXPECT_EQ(p.integer("n", "empty"), 77);
    EXPECT_EQ(p.integer("n", "quotedEmpty"), 77);
    EXPECT_EQ(p.integer("n", "missing"), 77);
    EXPECT_EQ(p.integer("none", "dec", -3), -3);
}

TEST(ProfileTest, UnicodeFilesAreHandedOutInCodePage932)
{
    // [日本] / カナ=漢字 / emoji and Hangul have no code in 932; é has a best-fit
    // substitute. Each half of a surrogate pair is a "?" of its own, as on Windows.
    const std::string utf8 =
        "\xEF\xBB\xBF[\xE6\x97\xA5\xE6\x9C\xAC]\r\n\xE3\x82\xAB\xE3\x83\x8A=\xE6\xBC\xA2\xE5\xAD\x97\r\n"
        "other=a\xF0\x9F\x98\x80"
        "b\xED\x95\x9C"
        "c\r\nbad=x\xC3"
        "y\r\ncafe=caf\xC3\xA9\r\n";
    Profile p(utf8);
    EXPECT_EQ(p.text("\x93\xFA\x96\x7B", "\x83J\x83i"), "\x8A\xBF\x8E\x9A");
    EXPECT_EQ(p.text("\x93\xFA\x96\x7B", "other"), "a??b?c");
    EXPECT_EQ(p.text("\x93\xFA\x96\x7B", "cafe"), "cafe");
    EXPECT_EQ(p.text("\x93\xFA\x96\x7B", "bad"), "x?y");

    std::u16string units =
        u"[\u65E5\u672C]\r\n\u30AB\u30CA = \"\u6F22\u5B57\"\r\nemoji=\U0001F600!\r\nlone=\xD800z";
    std::string utf16 = "\xFF\xFE";
    for (char16_t u : units) {
        utf16.push_back(static_cast<char>(u & 0xFF));
        utf16.push_back(static_cast<char>(u >> 8));
    }
    p.rewrite(utf16);
    EXPECT_EQ(p.text("\x93\xFA\x96\x7B", "\x83J\x83i"), "\x8A\xBF\x8E\x9A");
    EXPECT_EQ(p.text("\x93\xFA\x96\x7B", "emoji"),
              "??"
              "!");
    EXPECT_EQ(p.text("\x93\xFA\x96\x7B", "lone"), "?z");
}

TEST(ProfileTest, RewrittenFilesAreReadAgain)
{
    Profile p("[s]\nk=one\n");
    EXPECT_EQ(p.text("s", "k"), "one");
    // Another size.
    p.rewrite("[s]\nk=three\n");
    EXPECT_EQ(p.text("s", "k"), "three");
    // The same size at once, likely within one tick of the file clock.
    p.rewrite("[s]\nk=seven\n");
    EXPECT_EQ(p.text("s", "k"), "seven");
    std::remove(p.path().c_str());
    EXPECT_EQ(p.text("s", "k"), "<default>");
    p.rewrite("[s]\nk=back\n");
    EXPECT_EQ(p.text("s", "k"), "back");
}

TEST(ProfileTest, AReadScopeSeesOneVersion)
{
    Profile p("[s]\nk=one\n");
    {
        platform::ProfileReadScope scope;
        EXPECT_EQ(p.text("s", "k"), "one");
        p.rewrite("[s]\nk=changed\n");
        {
            platform::ProfileReadScope inner;
            EXPECT_EQ(p.text("s", "k"), "one");
        }
        EXPECT_EQ(p.text("s", "k"), "one");
    }
    EXPECT_EQ(p.text("s", "k"), "changed");
}

// The headers of a file are read only as far as the sections asked for, and two
// threads sharing a read scope may ask at once, each at its own pace: each must find
// every section ending at the next header, as if the file had been read whole.
TEST(ProfileTest, SectionsAskedForFromTwoThreadsAtOnceEndAtTheNextHeader)
{
    const int count = 3000;
    std::string text = "early=before any header\n";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        text += "[s" + n + "]\nvalue=" + n + "\nmark" + n + "=yes\n";
        if (i % 700 == 0)
            text += "[S" + n + "]\nvalue=repeated\nrepeat=yes\n";
    }
    Profile p(text);

    auto readAll = [&](int step, std::vector<std::string>& faults) {
        // The keys each section must not have belong to the sections after it.
        for (int i = 0; i < count; i += step) {
            const std::string n = std::to_string(i);
            platform::ProfileSection keys(p.path().c_str(), ("s" + n).c_str());
            char value[32];
            keys.getString("value", "", value, sizeof value);
            if (value != n)
                faults.push_back("s" + n + " value " + value);
            keys.getString(("mark" + n).c_str(), "", value, sizeof value);
            if (std::string(value) != "yes")
                faults.push_back("s" + n + " lacks its mark");
            for (const std::string& stranger : {"mark" + std::to_string(i + 1), std::string("repeat")}) {
                keys.getString(stranger.c_str(), "absent", value, sizeof value);
                if (std::string(value) != "absent")
                    faults.push_back("s" + n + " has " + stranger);
            }
        }
    };

    platform::ProfileReadScope scope;
    EXPECT_EQ(platform::ProfileSection(p.path().c_str(), "s0").getInt("value", -1), 0);
    std::vector<std::string> helperFaults, ownFaults;
    const uint64_t shared = platform::ProfileReadScope::current();
    std::thread helper([&] {
        platform::ProfileReadScope helping(shared);
        readAll(1, helperFaults);
    });
    readAll(3, ownFaults);
    helper.join();
    EXPECT_EQ(helperFaults, std::vector<std::string>());
    EXPECT_EQ(ownFaults, std::vector<std::string>());
    EXPECT_EQ(platform::ProfileSection(p.path().c_str(), "missing").getInt("value", -1), -1);
    EXPECT_EQ(p.text("", "early"), "before any header");
}

TEST(ProfileTest, VeryLongLinesAreCut)
{
    std::string huge(3 * 1024 * 1024, 'v');
    Profile p("[s]\nlong=" + huge + "\nafter=1\n" + std::string(1024 * 1024, 'k') + "=x\n");
    EXPECT_EQ(p.text("s", "long"), std::string(255, 'v'));
    EXPECT_EQ(p.text("s", "after"), "1");
    EXPECT_EQ(p.integer("s", "long"), 0);
}

}  // namespace

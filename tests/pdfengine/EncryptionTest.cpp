// Passwords and permissions at every compatibility level, checked with qpdf
// and pdfinfo.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace enginetest;
using namespace testsupport;

namespace {

std::string showEncryption(const std::string& path, const std::string& password)
{
    return run({"qpdf", "--show-encryption", "--password=" + password, path}).out;
}

bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

struct Level {
    const char* compatibility;
    const char* revision;  // as qpdf --show-encryption prints it
    const char* method;    // "" for RC4 (qpdf prints no method line), else the stream method
    const char* pdfinfoAlgorithm;
};

const Level levels[] = {
    {"1.3", "R = 2", "", "RC4"},      {"1.4", "R = 3", "", "RC4"},      {"1.5", "R = 3", "", "RC4"},
    {"1.6", "R = 4", "AESv2", "AES"}, {"1.7", "R = 4", "AESv2", "AES"}, {"2.0", "R = 6", "AESv3", "AES-256"},
};

TEST(EncryptionTest, EveryLevelUsesItsStrongestMethodAndBothPasswordsOpen)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    QUILLON_REQUIRE_TOOL("pdfinfo");
    TempDir dir;
    for (const Level& level : levels) {
        SCOPED_TRACE(level.compatibility);
        const std::string path = dir.file(std::string("enc") + level.compatibility + ".pdf");
        writeEmptyPages(path, 2, 200, 300,
                        std::string("compatibility=") + level.compatibility +
                            " masterpassword={Master Key} userpassword=reader");
        const std::string asOwner = showEncryption(path, "Master Key");
        EXPECT_TRUE(has(asOwner, level.revision)) << asOwner;
        EXPECT_TRUE(has(asOwner, "Supplied password is owner password")) << asOwner;
        if (*level.method) {
            EXPECT_TRUE(has(asOwner, std::string("stream encryption method: ") + level.method)) << asOwner;
        }
        EXPECT_TRUE(has(showEncryption(path, "reader"), "Supplied password is user password"));

        RunResult check = run({"qpdf", "--check", "--password=reader", path});
        EXPECT_EQ(check.status, 0) << check.out << check.err;
        RunResult refused = run({"pdfinfo", path});
        EXPECT_NE(refused.status, 0) << "opened without a password";
        RunResult user = run({"pdfinfo", "-upw", "reader", path});
        EXPECT_EQ(pdfinfoField(user.out, "Pages"), "2") << user.err;
        EXPECT_EQ(pdfinfoField(user.out, "PDF version"), level.compatibility);
        EXPECT_TRUE(
            has(pdfinfoField(user.out, "Encrypted"), std::string("algorithm:") + level.pdfinfoAlgorithm))
            << user.out;
        RunResult owner = run({"pdfinfo", "-opw", "Master Key", path});
        EXPECT_EQ(pdfinfoField(owner.out, "Pages"), "2") << owner.err;
    }
}

TEST(EncryptionTest, AMasterPasswordAloneOpensWithoutAPassword)
{
    QUILLON_REQUIRE_TOOL("pdfinfo");
    TempDir dir;
    const std::string path = dir.file("owner-only.pdf");
    writeEmptyPages(path, 1, 100, 100, "masterpassword=secret permissions={noprint}");
    RunResult info = run({"pdfinfo", path});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(pdfinfoField(info.out, "Encrypted"),
              "yes (print:no copy:yes change:yes addNotes:yes algorithm:AES)");
}

struct PermissionCase {
    const char* keyword;
    const char* denied;  // the line qpdf prints as "...: not allowed"
};

TEST(EncryptionTest, EachPermissionKeywordDeniesItsRight)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    const PermissionCase cases[] = {
        {"noprint", "print high resolution"},  {"nohiresprint", "print high resolution"},
        {"nocopy", "extract for any purpose"}, {"noaccessible", "extract for accessibility"},
        {"nomodify", "modify other"},          {"noassemble", "modify document assembly"},
        {"noforms", "modify forms"},           {"noannots", "modify annotations"},
    };
    const char* rights[] = {"extract for accessibility", "extract for any purpose",
                            "print low resolution",      "print high resolution",
                            "modify document assembly",  "modify forms",
                            "modify annotations",        "modify other"};
    TempDir dir;
    for (const char* compatibility : {"1.4", "1.7", "2.0"}) {
        for (const PermissionCase& c : cases) {
            SCOPED_TRACE(std::string(compatibility) + " " + c.keyword);
            const std::string path = dir.file(std::string(c.keyword) + compatibility + ".pdf");
            writeEmptyPages(path, 1, 100, 100,
                            std::string("compatibility=") + compatibility +
                                " masterpassword=m permissions={" + c.keyword + "}");
            const std::string shown = showEncryption(path, "");
            for (const char* right : rights) {
                bool denied = std::string(right) == c.denied;
                // noprint denies low-resolution printing too.
                if (std::string(c.keyword) == "noprint" && std::string(right) == "print low resolution")
                    denied = true;
                // The AES methods always allow extraction for accessibility
                // (qpdf sets the bit, as PDF 2.0 has readers ignore it).
                if (std::string(c.keyword) == "noaccessible" && std::string(compatibility) != "1.4")
                    denied = false;
                const std::string expected = std::string(right) + ": " + (denied ? "not allowed" : "allowed");
                EXPECT_TRUE(has(shown, expected)) << expected << "\n" << shown;
            }
        }
    }
}

TEST(EncryptionTest, PlainMetadataLeavesMetadataUnencrypted)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    const std::string path = dir.file("plain.pdf");
    writeEmptyPages(path, 1, 100, 100, "masterpassword=m permissions={plainmetadata nocopy}");
    // The encryption dictionary itself is never encrypted.
    EXPECT_TRUE(has(readFile(path), "/EncryptMetadata false"));
    EXPECT_EQ(run({"qpdf", "--check", path}).status, 0);
    writeEmptyPages(path, 1, 100, 100, "masterpassword=m");
    EXPECT_FALSE(has(readFile(path), "/EncryptMetadata false"));
}

TEST(EncryptionTest, OptionsThatCannotBeHonouredAreValueErrors)
{
    Handle p;
    auto begin = [&](const std::string& options) {
        return failure(p, [&] { PDF_begin_document(p, "", 0, options.c_str()); });
    };
    EXPECT_EQ(begin("userpassword=u"), "1201 9 Option 'userpassword' needs option 'masterpassword'");
    EXPECT_EQ(begin("permissions={noprint}"), "1201 9 Option 'permissions' needs option 'masterpassword'");
    EXPECT_EQ(begin("masterpassword=same userpassword=same"),
              "1202 9 Options 'userpassword' and 'masterpassword' must differ");
    EXPECT_EQ(begin("compatibility=1.3 masterpassword=m permissions={noassemble}"),
              "1203 9 Permission 'noassemble' needs compatibility 1.4 or higher, not 1.3");
    EXPECT_EQ(begin("compatibility=1.5 masterpassword=m permissions={plainmetadata}"),
              "1203 9 Permission 'plainmetadata' needs compatibility 1.6 or higher, not 1.5");
    EXPECT_EQ(begin("masterpassword=" + std::string(33, 'x')),
              "1204 9 Option 'masterpassword' is longer than 32 bytes, the limit of compatibility 1.7");
    EXPECT_EQ(begin("permissions={noprint noprnt} masterpassword=m"),
              "1109 9 Option 'permissions' does not accept 'noprnt' (expected noprint, nohiresprint, nocopy, "
              "noaccessible, nomodify, noassemble, noforms, noannots or plainmetadata)");
    // 日本 cannot be a password before AES-256.
    EXPECT_EQ(begin("\xEF\xBB\xBFmasterpassword=\xE6\x97\xA5\xE6\x9C\xAC"),
              "1205 9 Option 'masterpassword' has characters that compatibility 1.7 cannot use in a password "
              "(compatibility 2.0 can)");
    EXPECT_EQ(begin("compatibility=2.0 masterpassword=" + std::string(128, 'x')),
              "1204 9 Option 'masterpassword' is longer than 127 bytes, the limit of compatibility 2.0");
    // An empty master password is no password.
    EXPECT_EQ(begin("masterpassword={}"), "no error");
}

TEST(EncryptionTest, NonAsciiPasswordsAreEncodedForTheMethod)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    // Latin-1 "é" in winansi becomes PDFDocEncoding for AES-128 ...
    const std::string aes128 = dir.file("latin.pdf");
    writeEmptyPages(aes128, 1, 100, 100, "masterpassword=m userpassword=caf\xE9");
    EXPECT_TRUE(has(showEncryption(aes128, "caf\xE9"), "Supplied password is user password"));
    // ... and 日本 is UTF-8 for AES-256.
    const std::string aes256 = dir.file("japanese.pdf");
    writeEmptyPages(aes256, 1, 100, 100,
                    "\xEF\xBB\xBF"
                    "compatibility=2.0 masterpassword=m userpassword=\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_TRUE(
        has(showEncryption(aes256, "\xE6\x97\xA5\xE6\x9C\xAC"), "Supplied password is user password"));
}

}  // namespace

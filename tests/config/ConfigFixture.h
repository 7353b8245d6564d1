// A configuration file written by a test into a folder of its own, and the ways the
// tests load it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/tr_pdffile.h"
#include "foundation/TORPDFException.h"
#include "tests/support/TestSupport.h"

// "PDF ファイル名が指定されていません"
inline const std::string noPdfName =
    "PDF \x83t\x83@\x83"
    "C\x83\x8B\x96\xBC\x82\xAA\x8Ew\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9"
    "\x82\xF1";
// "masterPwd が指定されていません"
inline const std::string noMasterPwd =
    "masterPwd \x82\xAA\x8Ew\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// "ページがありまません"
inline const std::string noPages = "\x83y\x81[\x83W\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xDC\x82\xB9\x82\xF1";

// "オブジェクトタイプ '<type>' が不正です(セクション [<section>])"
inline std::string badObjectType(const std::string& type, const std::string& section)
{
    return "\x83I\x83u\x83W\x83"
           "F\x83N\x83g\x83^\x83"
           "C\x83v '" +
           type + "' \x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7(\x83Z\x83N\x83V\x83\x87\x83\x93 [" + section +
           "])";
}

// "ファイル '<file>' が見つかりません(セクション [<section>])"
inline std::string fileNotFound(const std::string& file, const std::string& section)
{
    return "\x83t\x83@\x83"
           "C\x83\x8B '" +
           file +
           "' "
           "\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1(\x83Z\x83N\x83V\x83\x87\x83\x93 "
           "[" +
           section + "])";
}

class ConfigTest : public ::testing::Test {
protected:
    // Writes the configuration; returns its path.
    const std::string& write(const std::string& text)
    {
        testsupport::writeFile(path_, text);
        return path_;
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return dir_.file(name); }

    // Loads the configuration, which must load.
    std::unique_ptr<tr_pdffile> load(const std::string& text)
    {
        write(text);
        auto document = std::make_unique<tr_pdffile>();
        EXPECT_TRUE(document->load(path_.c_str()));
        return document;
    }

    // The message of the error loading raises (with code -1), or "" when it loads.
    std::string loadError(const std::string& text)
    {
        write(text);
        tr_pdffile document;
        try {
            document.load(path_.c_str());
        } catch (const TORPDFException& error) {
            EXPECT_EQ(error.getCode(), -1);
            return error.getMessage() ? error.getMessage() : "(none)";
        }
        ADD_FAILURE() << "loading did not fail";
        return "";
    }

    // The [PDF] section of a document that loads, with one page.
    static std::string minimal(const std::string& extra = "")
    {
        return "[PDF]\npdfName=out.pdf\npages=1\n" + extra;
    }

private:
    testsupport::TempDir dir_;
    std::string path_ = dir_.file("test.conf");
};

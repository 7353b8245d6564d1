// A renderer in the test's own process, its engine trace in a folder of the test, and
// the messages its checks raise.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/TORPDFException.h"
#include "render/TORPDF.h"
#include "tests/support/TestSupport.h"

namespace rendertest {

// 初期化されていません
inline const std::string notInitialized =
    "\x8F\x89\x8A\xFA\x89\xBB\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// PDF 文書が準備されていません
inline const std::string noDocument =
    "PDF \x95\xB6\x8F\x91\x82\xAA\x8F\x80\x94\xF5\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// 入力 PDF ファイルが準備されていません
inline const std::string noPdiDocument =
    "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
    "C\x83\x8B\x82\xAA\x8F\x80\x94\xF5\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// 入力 PDF ファイルのページが準備されていません
inline const std::string noPage =
    "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
    "C\x83\x8B\x82\xCC\x83y\x81[\x83W\x82\xAA\x8F\x80\x94\xF5\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9"
    "\x82\xF1";
// 入力 PDF ファイル名が指定されていません
inline const std::string noPdiName =
    "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
    "C\x83\x8B\x96\xBC\x82\xAA\x8Ew\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// PDF 文書を作成できません
inline const std::string cannotCreateDocument =
    "PDF \x95\xB6\x8F\x91\x82\xF0\x8D\xEC\x90\xAC\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
// PDF オブジェクトが不正です
inline const std::string badFile =
    "PDF \x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";
// ページオブジェクトが不正です
inline const std::string badPage =
    "\x83y\x81[\x83W\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";
// エリアオブジェクトが不正です
inline const std::string badArea =
    "\x83G\x83\x8A\x83"
    "A\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";
// テキストオブジェクトが不正です
inline const std::string badText =
    "\x83"
    "e\x83L\x83X\x83g\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";
// ブロックオブジェクトが不正です
inline const std::string badBlock =
    "\x83u\x83\x8D\x83"
    "b\x83N\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";
// ブロック名が不正です
inline const std::string badBlockName =
    "\x83u\x83\x8D\x83"
    "b\x83N\x96\xBC\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";

// What an operation raised.
struct Raised {
    bool raised = false;
    int32_t code = 0;
    int32_t subCode = 0;
    std::string message;
};

inline Raised raisedBy(const std::function<void()>& operation)
{
    Raised result;
    try {
        operation();
    } catch (const TORPDFException& error) {
        result = {true, error.getCode(), error.getSubCode(), error.getMessage() ? error.getMessage() : ""};
    }
    return result;
}

// The operation raises message with code -1 and sub-code -1.
#define EXPECT_RAISES(operation, expected)                                                 \
    do {                                                                                   \
        ::rendertest::Raised raised_ = ::rendertest::raisedBy([&] { (void)(operation); }); \
        EXPECT_TRUE(raised_.raised) << #operation;                                         \
        EXPECT_EQ(raised_.message, expected) << #operation;                                \
        EXPECT_EQ(raised_.code, -1) << #operation;                                         \
    } while (0)

// A renderer subclass that lets the tests see and set what is protected.
class OpenRenderer : public TORPDF {
public:
    using TORPDF::area;
    using TORPDF::documentOpen;
    using TORPDF::file;
    using TORPDF::noOutput;
    using TORPDF::page;
    using TORPDF::pageOpen;
    using TORPDF::pdiDocumentOpen;
    using TORPDF::pdiPageOpen;
    using TORPDF::text;
};

class RenderTest : public ::testing::Test {
protected:
    // An initialized renderer whose engine trace goes to trace.txt in the test's folder.
    std::unique_ptr<OpenRenderer> tracedRenderer()
    {
        auto renderer = std::make_unique<OpenRenderer>();
        std::string option = "filename=" + dir.file("trace.txt");
        EXPECT_TRUE(renderer->initialize(option.c_str()));
        return renderer;
    }

    // The trace's lines from the first one that starts with from.
    std::vector<std::string> traceFrom(const std::string& from) const
    {
        std::string content = testsupport::readFile(dir.file("trace.txt"));
        std::vector<std::string> lines;
        bool started = false;
        for (size_t at = 0; at < content.size();) {
            size_t end = content.find('\n', at);
            std::string line = content.substr(at, end == std::string::npos ? std::string::npos : end - at);
            started = started || line.rfind(from, 0) == 0;
            if (started)
                lines.push_back(line);
            if (end == std::string::npos)
                break;
            at = end + 1;
        }
        return lines;
    }

    std::string trace() const { return testsupport::readFile(dir.file("trace.txt")); }
    std::string file(const std::string& name) const { return dir.file(name); }

    testsupport::TempDir dir;
};

// A PDF of one page with that media box, and a title in the catalog for pCOS. It has
// no cross-reference table: the engine rebuilds one, as for any damaged file.
inline std::string onePagePdf(const std::string& mediaBox, const std::string& title = "Imported")
{
    return "%PDF-1.4\n"
           "1 0 obj\n<< /Type /Catalog /Pages 2 0 R /Title (" +
           title +
           ") >>\nendobj\n"
           "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n"
           "3 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [" +
           mediaBox +
           "] >>\nendobj\n"
           "trailer\n<< /Root 1 0 R >>\n%%EOF\n";
}

}  // namespace rendertest

// How failures reach the caller: numbers, messages, API names, the handler,
// scopes, errorpolicy, the closing calls after a fatal error, and the trace.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "pdfengine/Version.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace enginetest;
using namespace testsupport;

namespace {

struct Counted {
    int calls = 0;
    int type = 0;
    std::string message;
};
Counted counted;

void countingHandler(PDF*, int type, const char* message)
{
    ++counted.calls;
    counted.type = type;
    counted.message = message;
}

TEST(ErrorProtocolTest, FailureIsRecordedAndHandedToTheHandler)
{
    Handle p;
    Raised error = raised([&] { PDF_set_option(p, "adjstpage"); });
    EXPECT_EQ(error.type, PDF_SyntaxError);
    EXPECT_EQ(error.message, "Unknown option 'adjstpage'");
    EXPECT_EQ(PDF_get_errnum(p), 1101);
    EXPECT_STREQ(PDF_get_errmsg(p), "Unknown option 'adjstpage'");
    EXPECT_STREQ(PDF_get_apiname(p), "PDF_set_option");
    // A call that succeeds leaves the last failure readable.
    PDF_set_option(p, "hypertextencoding=utf8");
    EXPECT_EQ(PDF_get_errnum(p), 1101);
    EXPECT_STREQ(PDF_get_apiname(p), "PDF_set_option");
}

TEST(ErrorProtocolTest, AHandlerThatReturnsGetsTheFailureValue)
{
    counted = {};
    PDF* p = PDF_new2(countingHandler, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(PDF_begin_document(p, "", 0, "compatibility=1.8"), -1);
    EXPECT_EQ(counted.calls, 1);
    EXPECT_EQ(counted.type, PDF_ValueError);
    EXPECT_EQ(counted.message,
              "Option 'compatibility' does not accept '1.8' (expected 1.3, 1.4, 1.5, 1.6, 1.7 or 2.0)");
    EXPECT_STREQ(PDF_get_string(p, 0, "nosuchkey"), "");
    EXPECT_EQ(counted.calls, 2);
    PDF_delete(p);

    // PDF_new's handler does nothing; the error is still recorded.
    p = PDF_new();
    PDF_moveto(p, 1, 2);
    EXPECT_EQ(PDF_get_errnum(p), 3001);
    EXPECT_STREQ(PDF_get_string(p, 0, "version"), PDFENGINE_VERSION);
    PDF_delete(p);
}

TEST(ErrorProtocolTest, CallsOutsideTheirScopeAreRuntimeErrors)
{
    Handle p;
    EXPECT_EQ(failure(p, [&] { PDF_begin_page_ext(p, 100, 100, ""); }),
              "3001 3 Function 'PDF_begin_page_ext' must not be called in 'object' scope");
    EXPECT_EQ(failure(p, [&] { PDF_set_info(p, "Title", "x"); }),
              "3001 3 Function 'PDF_set_info' must not be called in 'object' scope");
    EXPECT_EQ(failure(p, [&] { PDF_get_buffer(p, nullptr); }),
              "3004 3 PDF_get_buffer needs a finished document begun with an empty file name");

    ASSERT_EQ(PDF_begin_document(p, "", 0, ""), 1);
    EXPECT_EQ(failure(p, [&] { PDF_begin_document(p, "", 0, ""); }),
              "3001 3 Function 'PDF_begin_document' must not be called in 'document' scope");
    EXPECT_EQ(failure(p, [&] { PDF_setlinewidth(p, 2); }),
              "3001 3 Function 'PDF_setlinewidth' must not be called in 'document' scope");
    EXPECT_EQ(failure(p, [&] { PDF_get_buffer(p, nullptr); }),
              "3001 3 Function 'PDF_get_buffer' must not be called in 'document' scope");
}

TEST(ErrorProtocolTest, ClosingCallsOutOfTurnAreErrorsUntilAFatalErrorWasSeen)
{
    Handle p;
    EXPECT_EQ(failure(p, [&] { PDF_end_document(p, ""); }),
              "3001 3 Function 'PDF_end_document' must not be called in 'object' scope");
    Handle q;
    PDF_begin_document(q, "", 0, "");
    EXPECT_EQ(failure(q, [&] { PDF_end_page_ext(q, ""); }),
              "3001 3 Function 'PDF_end_page_ext' must not be called in 'document' scope");
    // That was a fatal error: now they close what is open, or do nothing.
    EXPECT_EQ(failure(q, [&] { PDF_end_page_ext(q, ""); }), "no error");
    EXPECT_EQ(failure(q, [&] { PDF_end_document(q, ""); }), "no error");
    EXPECT_EQ(failure(q, [&] { PDF_end_document(q, ""); }), "no error");
    Handle r;
    PDF_begin_document(r, "", 0, "");
    PDF_begin_page_ext(r, 10, 10, "");
    EXPECT_EQ(failure(r, [&] { PDF_end_document(r, ""); }),
              "3001 3 Function 'PDF_end_document' must not be called in 'page' scope");
}

TEST(ErrorProtocolTest, PathsHaveTheirOwnScope)
{
    Handle p;
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 100, 100, "");
    EXPECT_EQ(failure(p, [&] { PDF_lineto(p, 1, 1); }),
              "3001 3 Function 'PDF_lineto' must not be called in 'page' scope");
    EXPECT_EQ(failure(p, [&] { PDF_stroke(p); }),
              "3001 3 Function 'PDF_stroke' must not be called in 'page' scope");
    PDF_moveto(p, 0, 0);
    // Inside a path only path operators are valid PDF.
    EXPECT_EQ(failure(p, [&] { PDF_setcolor(p, "fill", "gray", 0, 0, 0, 0); }),
              "3001 3 Function 'PDF_setcolor' must not be called in 'path' scope");
    EXPECT_EQ(failure(p, [&] { PDF_save(p); }),
              "3001 3 Function 'PDF_save' must not be called in 'path' scope");
    EXPECT_EQ(failure(p, [&] { PDF_end_page_ext(p, ""); }), "no error")
        << "a fatal error was seen, so the page closes";
}

TEST(ErrorProtocolTest, EndingAPageInsideAPathOrASaveIsAnError)
{
    Handle p;
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 100, 100, "");
    PDF_rect(p, 0, 0, 10, 10);
    EXPECT_EQ(failure(p, [&] { PDF_end_page_ext(p, ""); }),
              "3001 3 Function 'PDF_end_page_ext' must not be called in 'path' scope");

    Handle q;
    PDF_begin_document(q, "", 0, "");
    PDF_begin_page_ext(q, 100, 100, "");
    EXPECT_EQ(failure(q, [&] { PDF_restore(q); }),
              "3002 3 PDF_restore has no matching PDF_save on this page");

    Handle r;
    PDF_begin_document(r, "", 0, "");
    PDF_begin_page_ext(r, 100, 100, "");
    PDF_save(r);
    PDF_save(r);
    PDF_restore(r);
    EXPECT_EQ(failure(r, [&] { PDF_end_page_ext(r, ""); }),
              "3003 3 Function 'PDF_end_page_ext': 1 PDF_save without matching PDF_restore on this page");
}

TEST(ErrorProtocolTest, BadArgumentsAreValueErrors)
{
    Handle p;
    PDF_begin_document(p, "", 0, "");
    EXPECT_EQ(failure(p, [&] { PDF_begin_page_ext(p, -595, 842, ""); }),
              "5001 9 Page width -595 is out of range (1 to 14400)");
    EXPECT_EQ(failure(p, [&] { PDF_begin_page_ext(p, 595, 14400.5, ""); }),
              "5001 9 Page height 14400.5 is out of range (1 to 14400)");
    EXPECT_EQ(failure(p, [&] { PDF_begin_page_ext(p, NAN, 842, ""); }),
              "5002 9 Argument 'width' is not a finite number (nan)");
    PDF_begin_page_ext(p, 1, 14400, "");
    EXPECT_EQ(failure(p, [&] { PDF_set_graphics_option(p, "linecap=3"); }),
              "1108 9 Option 'linecap' must be between 0 and 2, not '3'");
    EXPECT_EQ(failure(p, [&] { PDF_set_graphics_option(p, "linecap=2 linewidht=1"); }),
              "1101 8 Unknown option 'linewidht'");
    EXPECT_EQ(failure(p, [&] { PDF_set_graphics_option(p, "dasharray={3 2"); }),
              "1102 8 Unbalanced braces in option list 'dasharray={3 2'");
    EXPECT_EQ(failure(p, [&] { PDF_set_graphics_option(p, "dasharray={0 0}"); }),
              "5004 9 Dash lengths must not all be 0");
    EXPECT_EQ(failure(p, [&] { PDF_set_graphics_option(p, "miterlimit=0.99"); }),
              "1108 9 Option 'miterlimit' must be at least 1, not '0.99'");
    EXPECT_EQ(failure(p, [&] { PDF_setlinewidth(p, -1); }), "5004 9 Line width must be at least 0, not -1");
    EXPECT_EQ(failure(p, [&] { PDF_setcolor(p, "both", "rgb", 0, 0, 0, 0); }),
              "5003 9 Unknown fstype 'both' (expected fill, stroke or fillstroke)");
    EXPECT_EQ(failure(p, [&] { PDF_setcolor(p, "fill", "RGB ", 0, 0, 0, 0); }),
              "5003 9 Unknown colour space 'RGB ' (expected gray, rgb or cmyk)");
    EXPECT_EQ(failure(p, [&] { PDF_setcolor(p, "stroke", "rgb", 0, 1.5, 0, 0); }),
              "5004 9 Colour component 1.5 is out of range (0 to 1)");
    // Keywords ignore case; components the colour space does not use are not looked at.
    EXPECT_EQ(failure(p, [&] { PDF_setcolor(p, "Fill", "RGB", 0, 0, 1, 0); }), "no error");
    EXPECT_EQ(failure(p, [&] { PDF_setcolor(p, "stroke", "gray", 0.5, 7, NAN, -1); }), "no error");
    EXPECT_EQ(failure(p, [&] { PDF_moveto(p, INFINITY, 0); }),
              "5002 9 Argument 'x' is not a finite number (inf)");
}

TEST(ErrorProtocolTest, ErrorpolicyReturnMakesFileFailuresOfBeginDocumentNonFatal)
{
    TempDir dir;
    const std::string target = dir.file("missing/out.pdf");
    Handle p;
    EXPECT_EQ(failure(p, [&] { PDF_begin_document(p, target.c_str(), 0, ""); }),
              "2001 2 Couldn't open PDF file '" + target + "' for writing (No such file or directory)");
    PDF_set_option(p, "errorpolicy=return");
    EXPECT_EQ(PDF_begin_document(p, target.c_str(), 0, ""), -1);
    EXPECT_EQ(PDF_get_errnum(p), 2001);
    EXPECT_STREQ(PDF_get_apiname(p), "PDF_begin_document");
    // Mistakes in the call itself stay fatal.
    EXPECT_EQ(failure(p, [&] { PDF_begin_document(p, target.c_str(), 0, "compatibilty=1.4"); }),
              "1101 8 Unknown option 'compatibilty'");
    // The length argument counts bytes; the name need not be terminated.
    const std::string named = dir.file("named.pdfXYZ");
    EXPECT_EQ(PDF_begin_document(p, named.c_str(), static_cast<int>(named.size()) - 3, ""), 1);
    PDF_begin_page_ext(p, 10, 10, "");
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    EXPECT_TRUE(fileExists(dir.file("named.pdf")));
}

TEST(ErrorProtocolTest, ADocumentThatSawAFatalErrorWritesNoFileAndClosesQuietly)
{
    TempDir dir;
    const std::string target = dir.file("out.pdf");
    writeFile(target, "older file");
    Handle p;
    PDF_begin_document(p, target.c_str(), 0, "");
    PDF_begin_page_ext(p, 200, 200, "");
    PDF_save(p);
    PDF_moveto(p, 10, 10);
    raised([&] { PDF_lineto(p, NAN, 0); });
    // Still in the path, with a save open: the closing calls close it all.
    EXPECT_EQ(failure(p, [&] { PDF_end_page_ext(p, ""); }), "no error");
    EXPECT_EQ(failure(p, [&] { PDF_end_page_ext(p, ""); }), "no error");
    EXPECT_EQ(failure(p, [&] { PDF_end_document(p, ""); }), "no error");
    EXPECT_EQ(readFile(target), "older file");
    // The original error is still the one to read.
    EXPECT_EQ(PDF_get_errnum(p), 5002);
    EXPECT_STREQ(PDF_get_apiname(p), "PDF_lineto");

    // The next document starts afresh and is written.
    PDF_begin_document(p, target.c_str(), 0, "");
    PDF_begin_page_ext(p, 200, 200, "");
    PDF_end_page_ext(p, "");
    EXPECT_EQ(failure(p, [&] { PDF_end_document(p, ""); }), "no error");
    EXPECT_EQ(readFile(target).substr(0, 5), "%PDF-");
}

TEST(ErrorProtocolTest, EndDocumentClosesAnOpenPageAfterAFatalError)
{
    Handle p;
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 200, 200, "");
    raised([&] { PDF_set_graphics_option(p, "bogus"); });
    EXPECT_EQ(failure(p, [&] { PDF_end_document(p, ""); }), "no error");
    // Back in object scope, with nothing written.
    EXPECT_EQ(failure(p, [&] { PDF_get_buffer(p, nullptr); }),
              "3004 3 PDF_get_buffer needs a finished document begun with an empty file name");
    EXPECT_EQ(PDF_begin_document(p, "", 0, ""), 1);
}

TEST(ErrorProtocolTest, AHandlerThrowingInTheMiddleOfAPageLeavesNothingBehind)
{
    // Run under the sanitizers this shows that no memory leaks when the
    // handle is deleted with a document, a page, a path and saves open.
    TempDir dir;
    PDF* p = PDF_new2([](PDF*, int, const char* message) { throw std::runtime_error(message); }, nullptr,
                      nullptr, nullptr, nullptr);
    PDF_begin_document(p, dir.file("never.pdf").c_str(), 0, "masterpassword=m");
    PDF_set_info(p, "Title", "unfinished");
    PDF_begin_page_ext(p, 300, 300, "");
    PDF_save(p);
    PDF_rect(p, 1, 1, 100, 100);
    EXPECT_THROW(PDF_set_graphics_option(p, "linecap=3"), std::runtime_error);
    EXPECT_THROW(PDF_setcolor(p, "fill", "rgb", 2, 0, 0, 0), std::runtime_error);
    PDF_delete(p);
    EXPECT_FALSE(fileExists(dir.file("never.pdf")));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(ErrorProtocolTest, NullHandleIsIgnored)
{
    PDF_delete(nullptr);
    PDF_moveto(nullptr, 1, 1);
    EXPECT_EQ(PDF_begin_document(nullptr, "", 0, ""), -1);
    EXPECT_EQ(PDF_get_errnum(nullptr), 0);
    EXPECT_STREQ(PDF_get_errmsg(nullptr), "");
}

TEST(ErrorProtocolTest, GetStringKnowsTheVersion)
{
    Handle p;
    EXPECT_STREQ(PDF_get_string(p, 0, "version"), PDFENGINE_VERSION);
    EXPECT_EQ(failure(p, [&] { PDF_get_string(p, 0, "versoin"); }), "1101 8 Unknown option 'versoin'");
    EXPECT_EQ(failure(p, [&] { PDF_get_string(p, 0, ""); }),
              "1113 9 PDF_get_string needs a key such as 'version', not ''");
}

TEST(ErrorProtocolTest, GlobalOptionsAreCheckedAndSetParameterIsTheSameOption)
{
    Handle p;
    EXPECT_EQ(failure(p, [&] { PDF_set_option(p, "errorpolicy=ignore"); }),
              "1109 9 Option 'errorpolicy' does not accept 'ignore' (expected exception or return)");
    EXPECT_EQ(
        failure(p, [&] { PDF_set_parameter(p, "hypertextencoding", "latin1"); }),
        "1109 9 Option 'hypertextencoding' does not accept 'latin1' (expected winansi, unicode or utf8)");
    EXPECT_STREQ(PDF_get_apiname(p), "PDF_set_parameter");
    EXPECT_EQ(failure(p, [&] { PDF_set_parameter(p, "FontOutline", "nofile"); }),
              "1113 9 Option 'FontOutline' expects fontname=filename, not 'nofile'");
    EXPECT_EQ(failure(p, [&] { PDF_set_option(p, "logging={remove}"); }),
              "1201 9 Option 'logging' needs option 'filename'");
    EXPECT_EQ(failure(p, [&] { PDF_set_parameter(p, "SearchPath", "{a"); }),
              "1102 8 Unbalanced braces in option list 'SearchPath={{a}'");
    PDF_set_parameter(p, "FontOutline", "Gothic=/fonts/gothic.ttf");
    PDF_set_parameter(p, "errorpolicy", "return");
    PDF_set_option(p, "FontOutline={{My Font}={/fonts/my font.otf}} SearchPath={/one folder}");
    PDF_set_option(p, "SearchPath={{/two} {/three x}}");
}

TEST(ErrorProtocolTest, TraceHasOneLinePerCallWithResultAndError)
{
    TempDir dir;
    const std::string trace = dir.file("trace.txt");
    writeFile(trace, "old line\n");
    {
        Handle p;
        PDF_set_option(p, ("logging={filename={" + trace + "} remove}").c_str());
        PDF_set_option(p, "errorpolicy=return");
        PDF_begin_document(p, dir.file("no/such.pdf").c_str(), 0, "");
        PDF_begin_document(p, "", 0, "compatibility=1.4");
        PDF_set_info(p, "Title", "Caf\xE9 \"quoted\" back\\slash");
        PDF_begin_page_ext(p, 595.8, 843.25, "");
        PDF_setcolor(p, "stroke", "rgb", 1, 0.5, 1.0 / 3, 0);
        PDF_moveto(p, 1e-7, 123456789);
        PDF_lineto(p, 0, 0);
        PDF_stroke(p);
        raised([&] { PDF_set_graphics_option(p, "linecap=3"); });
        PDF_get_errnum(p);
        PDF_set_option(p, "logging={enable=false}");
        PDF_moveto(p, 5, 5);
    }
    const std::string missing = dir.file("no/such.pdf");
    // clang-format off
    const std::string expected =
        "PDF_set_option(\"logging={filename={" + trace + "} remove}\")\n"
        "PDF_set_option(\"errorpolicy=return\")\n"
        "PDF_begin_document(\"" + missing + "\", 0, \"\") = -1 -> error 2001 (I/O, non-fatal): "
        "Couldn't open PDF file '" + missing + "' for writing (No such file or directory)\n"
        "PDF_begin_document(\"\", 0, \"compatibility=1.4\") = 1\n"
        "PDF_set_info(\"Title\", \"Caf\\xE9 \\\"quoted\\\" back\\\\slash\")\n"
        "PDF_begin_page_ext(595.8, 843.25, \"\")\n"
        "PDF_setcolor(\"stroke\", \"rgb\", 1, 0.5, 0.333333, 0)\n"
        "PDF_moveto(1e-07, 1.23457e+08)\n"
        "PDF_lineto(0, 0)\n"
        "PDF_stroke()\n"
        "PDF_set_graphics_option(\"linecap=3\") -> error 1108 (value): "
        "Option 'linecap' must be between 0 and 2, not '3'\n"
        "PDF_get_errnum() = 1108\n";
    // clang-format on
    EXPECT_EQ(readFile(trace), expected);
}

TEST(ErrorProtocolTest, TraceAppendsWithoutRemoveAndReportsAFileItCannotOpen)
{
    TempDir dir;
    const std::string trace = dir.file("trace.txt");
    writeFile(trace, "earlier\n");
    {
        Handle p;
        PDF_set_option(p, ("logging={filename=" + trace + "}").c_str());
        Raised error =
            raised([&] { PDF_set_option(p, ("logging={filename=" + dir.file("x/t.txt") + "}").c_str()); });
        EXPECT_EQ(error.type, PDF_IOError);
        EXPECT_EQ(error.message,
                  "Couldn't open trace file '" + dir.file("x/t.txt") + "' (No such file or directory)");
        // The failed option changed nothing: tracing goes on in the old file.
        PDF_get_errnum(p);
    }
    EXPECT_EQ(readFile(trace),
              "earlier\n"
              "PDF_set_option(\"logging={filename=" +
                  trace +
                  "}\")\n"
                  "PDF_set_option(\"logging={filename=" +
                  dir.file("x/t.txt") + "}\") -> error 2004 (I/O): Couldn't open trace file '" +
                  dir.file("x/t.txt") +
                  "' (No such file or directory)\n"
                  "PDF_get_errnum() = 2004\n"
                  "PDF_delete()\n");
}

}  // namespace

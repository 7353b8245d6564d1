// Bad field calls: each gives its documented error, through the handler and
// PDF_get_errmsg alike, and the handle stays usable.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using enginetest::failure;
using enginetest::Handle;

namespace {

class FieldErrors : public ::testing::Test {
protected:
    void SetUp() override
    {
        PDF_begin_document(p, "", 0, "");
        PDF_begin_page_ext(p, 300, 300, "");
    }

    std::string field(const char* name, const char* type, const char* options = "")
    {
        return failure(p, [&] { PDF_create_field(p, 10, 10, 100, 30, name, 0, type, options); });
    }

    Handle p;
};

TEST_F(FieldErrors, NamesUsedTwiceOrBadlyFormed)
{
    EXPECT_EQ(field("a", "textfield"), "no error");
    EXPECT_EQ(field("a", "checkbox"), "2701 9 Field name 'a' is already used");
    EXPECT_EQ(field("", "textfield"), "2704 9 Field name must not be empty");
    EXPECT_EQ(field("x..y", "textfield"), "2704 9 Field name 'x..y' has an empty part");
    EXPECT_EQ(field("a.b", "textfield"),
              "2704 9 Field 'a.b' cannot be made: 'a' is a field that holds no fields");
    EXPECT_EQ(field("h.b", "textfield"), "no error");
    // "h" now holds fields: it cannot become a field with a value.
    EXPECT_EQ(field("h", "textfield"), "2701 9 Field name 'h' is already used");
}

TEST_F(FieldErrors, RadioButtonsNeedTheirGroup)
{
    EXPECT_EQ(
        field("lonely", "radiobutton"),
        "2702 9 Radio button 'lonely' has no group (name it group.item after PDF_create_fieldgroup made "
        "the group)");
    EXPECT_EQ(field("g.a", "radiobutton"),
              "2702 9 Radio button 'g.a' has no group: 'g' was not made with PDF_create_fieldgroup");
    // A text field of that name is not a group.
    EXPECT_EQ(field("t", "textfield"), "no error");
    EXPECT_EQ(field("t.a", "radiobutton"),
              "2702 9 Radio button 't.a' has no group: 't' was not made with PDF_create_fieldgroup");
    EXPECT_EQ(failure(p, [&] { PDF_create_fieldgroup(p, "g", 0, ""); }),
              "2703 9 Field group 'g' needs the option fieldtype=radiobutton");
    EXPECT_EQ(failure(p, [&] { PDF_create_fieldgroup(p, "g", 0, "fieldtype=listbox"); }),
              "1109 9 Option 'fieldtype' does not accept 'listbox' (expected radiobutton)");
    EXPECT_EQ(failure(p, [&] { PDF_create_fieldgroup(p, "g", 0, "fieldtype=radiobutton"); }), "no error");
    EXPECT_EQ(failure(p, [&] { PDF_create_fieldgroup(p, "g", 0, "fieldtype=radiobutton"); }),
              "2701 9 Field name 'g' is already used");
    EXPECT_EQ(field("g.Off", "radiobutton"),
              "2704 9 Radio button 'g.Off' cannot be named Off, the name of its off state");
    EXPECT_EQ(field("g.a", "radiobutton"), "no error");
    EXPECT_EQ(field("g.a", "radiobutton"), "2701 9 Field name 'g.a' is already used");
    EXPECT_EQ(field("g.b", "textfield"),
              "2704 9 Field 'g.b' cannot be made: 'g' is a field that holds no fields");
}

TEST_F(FieldErrors, TypesOptionsAndValues)
{
    EXPECT_EQ(field("a", "listbox"),
              "2703 9 Unknown field type 'listbox' (expected textfield, checkbox or radiobutton)");
    EXPECT_EQ(field("a", "checkbox", "buttonstyle=heart"),
              "1109 9 Option 'buttonstyle' does not accept 'heart' (expected check, circle, cross, diamond, "
              "square or star)");
    EXPECT_EQ(field("a", "textfield", "colour=red"), "1101 8 Unknown option 'colour'");
    EXPECT_EQ(field("a", "checkbox", "currentvalue=maybe"),
              "2706 9 Value 'maybe' of button 'a' must be On or Off");
    EXPECT_EQ(field("a", "textfield", "maxchar=3 currentvalue=abcd"),
              "2706 9 Value of field 'a' has 4 characters, more than maxchar 3");
    EXPECT_EQ(field("a", "textfield", "font=7"), "4001 4 font handle 7 is not valid");
    EXPECT_EQ(failure(p, [&] { PDF_create_field(p, 10, 10, 10, 50, "flat", 0, "textfield", ""); }),
              "2705 9 Field 'flat' has no area");
    EXPECT_EQ(failure(p,
                      [&] {
                          PDF_create_field(p, 10, 10, std::numeric_limits<double>::infinity(), 50, "inf", 0,
                                           "textfield", "");
                      }),
              "5002 9 Argument 'urx' is not a finite number (inf)");
    // None of the failures used the name.
    EXPECT_EQ(field("a", "checkbox", "currentvalue=ON maxchar=3"), "no error");
}

TEST(FieldScope, FieldsOnlyOnPagesGroupsAlsoBefore)
{
    Handle p;
    EXPECT_EQ(failure(p, [&] { PDF_create_field(p, 0, 0, 10, 10, "a", 0, "textfield", ""); }),
              "3001 3 Function 'PDF_create_field' must not be called in 'object' scope");
    EXPECT_EQ(failure(p, [&] { PDF_create_fieldgroup(p, "g", 0, "fieldtype=radiobutton"); }),
              "3001 3 Function 'PDF_create_fieldgroup' must not be called in 'object' scope");
    PDF_begin_document(p, "", 0, "");
    EXPECT_EQ(failure(p, [&] { PDF_create_field(p, 0, 0, 10, 10, "a", 0, "textfield", ""); }),
              "3001 3 Function 'PDF_create_field' must not be called in 'document' scope");
    EXPECT_EQ(failure(p, [&] { PDF_create_fieldgroup(p, "g", 0, "fieldtype=radiobutton"); }), "no error");
    PDF_begin_page_ext(p, 100, 100, "");
    PDF_moveto(p, 0, 0);
    EXPECT_EQ(failure(p, [&] { PDF_create_field(p, 0, 0, 10, 10, "a", 0, "textfield", ""); }),
              "3001 3 Function 'PDF_create_field' must not be called in 'path' scope");
    // After the fatal errors the document closes without writing anything.
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    EXPECT_EQ(PDF_get_errnum(p), 3001);
}

TEST(FieldTrace, CallsAndTheirRemarksAreTraced)
{
    testsupport::TempDir dir;
    const std::string trace = dir.file("trace.txt");
    {
        PDF* p = PDF_new();
        PDF_set_option(p, ("logging={filename=" + trace + "}").c_str());
        PDF_begin_document(p, "", 0, "");
        PDF_begin_page_ext(p, 100, 100, "");
        PDF_create_fieldgroup(p, "g", 0, "fieldtype=radiobutton");
        PDF_create_field(p, 0, 0, 50, 20, "t", 0, "textfield", "currentvalue={\xEF\xBC\xA1}");
        PDF_create_field(p, 0, 0, 50, 20, "t", 0, "textfield", "");
        // U+FF21 and U+1F600 as UTF-8: Helvetica has neither, the Japanese font the first.
        PDF_create_field(p, 0, 0, 50, 20, "j", 0, "textfield",
                         "\xEF\xBB\xBF currentvalue={\xEF\xBC\xA1\xF0\x9F\x98\x80}");
        PDF_delete(p);
    }
    const std::string text = testsupport::readFile(trace);
    EXPECT_NE(text.find("PDF_create_fieldgroup(\"g\", 0, \"fieldtype=radiobutton\")\n"), std::string::npos)
        << text;
    // The value is code page 1252 here: three Latin characters Helvetica has.
    EXPECT_NE(
        text.find(
            "PDF_create_field(0, 0, 50, 20, \"t\", 0, \"textfield\", \"currentvalue={\\xEF\\xBC\\xA1}\")\n"),
        std::string::npos)
        << text;
    EXPECT_NE(
        text.find(
            "PDF_create_field(0, 0, 50, 20, \"t\", 0, \"textfield\", \"\") -> error 2701 (value): Field "
            "name 't' is already used\n"),
        std::string::npos)
        << text;
    EXPECT_NE(
        text.find("\\x80}\") -- font 'Helvetica' lacks characters of the value, field uses "
                  "HeiseiKakuGo-W5; 1 character not in field font 'HeiseiKakuGo-W5', shown as notdef\n"),
        std::string::npos)
        << text;
}

}  // namespace

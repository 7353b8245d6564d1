// Option lists parsed against every table of the engine and against one table that
// has an option of every type. A list that parses must give its values without
// another error; the lists of PDF_begin_document and PDF_set_graphics_option are
// also handed to the engine itself, and so are those of the text options and of
// PDF_fit_textline.
#include <exception>
#include <string>

#include "fuzz/targets/FuzzSupport.h"
#include "fuzz/targets/FuzzTargets.h"
#include "pdfengine/EngineError.h"
#include "pdfengine/OptionTables.h"
#include "pdfengine/pdf_api.h"

namespace fuzztargets {

namespace {

using namespace pdfengine;

constexpr std::string_view someKeywords[] = {"alpha", "beta", "gamma"};
constexpr OptionDef innerDefs[] = {
    {.name = "n", .type = OptionType::Number, .min = -1, .max = 1},
    {.name = "items", .type = OptionType::List, .minItems = 1, .maxItems = 3},
    {.name = "color", .type = OptionType::Color},
    {.name = "flag", .type = OptionType::Boolean},
};
constexpr OptionTable inner{innerDefs};
constexpr OptionDef everyTypeDefs[] = {
    {.name = "b", .type = OptionType::Boolean},
    {.name = "n", .type = OptionType::Number},
    {.name = "i", .type = OptionType::Integer, .min = -100, .max = 100},
    {.name = "k", .type = OptionType::Keyword, .keywords = someKeywords},
    {.name = "kl", .type = OptionType::KeywordList, .keywords = someKeywords},
    {.name = "s", .type = OptionType::String},
    {.name = "nl", .type = OptionType::NumberList, .min = 0, .minItems = 2, .maxItems = 4},
    {.name = "c", .type = OptionType::Color},
    {.name = "o", .type = OptionType::OptionList, .nested = &inner},
    {.name = "l", .type = OptionType::List},
};
constexpr OptionTable everyType{everyTypeDefs};

constexpr const OptionTable* tables[] = {
    &everyType,           &options::global,          &options::logging,
    &options::getString,  &options::beginDocument,   &options::none,
    &options::graphics,   &options::openPdiDocument, &options::openPdiPage,
    &options::fitPdiPage, &options::processPdi,      &options::loadFont,
    &options::text,       &options::fitTextline,
};

// Reads every option of a parsed list with the getter of its type.
void readAll(const OptionList& list, const OptionTable& table)
{
    for (const OptionDef& def : table.options) {
        (void)list.getAll(def.name);
        switch (def.type) {
            case OptionType::Boolean:
                (void)list.getBool(def.name, false);
                break;
            case OptionType::Number: {
                double value = list.getNumber(def.name, 0);
                expect(!list.has(def.name) || (value >= def.min && value <= def.max),
                       "a number out of its range");
                break;
            }
            case OptionType::Integer:
                (void)list.getInteger(def.name, 0);
                break;
            case OptionType::Keyword: {
                size_t index = list.getKeyword(def.name, 0);
                expect(!list.has(def.name) || index < def.keywords.size(), "a keyword outside its table");
                break;
            }
            case OptionType::KeywordList:
                (void)list.getKeywords(def.name);
                break;
            case OptionType::String:
                (void)list.getString(def.name);
                break;
            case OptionType::NumberList: {
                auto numbers = list.getNumbers(def.name);
                expect(
                    !list.has(def.name) || (numbers.size() >= def.minItems && numbers.size() <= def.maxItems),
                    "a number list of the wrong length");
                break;
            }
            case OptionType::Color: {
                Color color = list.getColor(def.name);
                for (double component : color.components)
                    expect(component >= 0 && component <= 1, "a colour component out of range");
                break;
            }
            case OptionType::OptionList:
                readAll(list.getOptionList(def.name), *def.nested);
                break;
            case OptionType::List: {
                auto items = list.getItems(def.name);
                expect(!list.has(def.name) || (items.size() >= def.minItems && items.size() <= def.maxItems),
                       "a list of the wrong length");
                break;
            }
        }
    }
}

// What the engine is given the list for.
enum class Use { Document, Graphics, Text, TextLine };

// The engine given the list: a document in memory with one page, and a path or
// a text in a standard font. A text line is `lineBytes` long when not 0, as a
// textlen option says; like a length argument, it is the caller's promise.
void throughTheEngine(const std::string& text, Use use, int lineBytes = 0)
{
    PDF* p = PDF_new();
    PDF_set_option(p, "deterministic");
    if (PDF_begin_document(p, "", 0, use == Use::Document ? text.c_str() : "") == -1) {
        PDF_delete(p);
        return;
    }
    PDF_begin_page_ext(p, 100, 100, "");
    if (use == Use::Graphics) {
        PDF_set_graphics_option(p, text.c_str());
        PDF_moveto(p, 10, 10);
        PDF_lineto(p, 90, 90);
        PDF_stroke(p);
    } else if (use != Use::Document) {
        PDF_setfont(p, PDF_load_font(p, "Helvetica", 0, "winansi", ""), 10);
        if (use == Use::Text) {
            PDF_set_text_option(p, text.c_str());
            PDF_set_text_pos(p, 10, 10);
            PDF_show(p, "Hello world");
        } else {
            std::string line = "Hello world";
            if (lineBytes > 0)
                line.resize(static_cast<size_t>(lineBytes), 'x');
            PDF_fit_textline(p, line.c_str(), 0, 50, 50, text.c_str());
        }
    }
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    long size = 0;
    (void)PDF_get_buffer(p, &size);
    PDF_delete(p);
}

}  // namespace

int optionList(const uint8_t* data, size_t size)
{
    InputReader input(data, size);
    const size_t choice = input.byte() % std::size(tables);
    const OptionTable& table = *tables[choice];
    const std::string text(input.rest());
    OptionList list;
    try {
        list = OptionList::parse(text, table);
    } catch (const EngineError&) {
        return 0;
    }
    try {
        readAll(list, table);
    } catch (const std::exception& e) {
        broken("a value that parsed cannot be read");
    }
    // A NUL ends the text at the C interface.
    if (text.find('\0') == std::string::npos) {
        if (&table == &options::beginDocument)
            throughTheEngine(text, Use::Document);
        else if (&table == &options::graphics)
            throughTheEngine(text, Use::Graphics);
        else if (&table == &options::text)
            throughTheEngine(text, Use::Text);
        else if (&table == &options::fitTextline)
            if (const int textlen = list.getInteger("textlen", 0); textlen <= 4096)
                throughTheEngine(text, Use::TextLine, textlen);
    }
    return 0;
}

}  // namespace fuzztargets

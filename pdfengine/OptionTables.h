// The options each call accepts. One table per call (or family of calls);
// code that adds calls adds its table here, next to the others.
#pragma once

#include <string_view>

#include "pdfengine/OptionList.h"

namespace pdfengine::options {

inline constexpr double unbounded = std::numeric_limits<double>::infinity();

// PDF_set_option and PDF_set_parameter.
inline constexpr std::string_view hypertextEncodings[] = {"winansi", "unicode", "utf8"};
inline constexpr std::string_view errorPolicies[] = {"exception", "return"};
inline constexpr OptionDef loggingDefs[] = {
    {.name = "filename", .type = OptionType::String},
    {.name = "remove", .type = OptionType::Boolean},
    {.name = "enable", .type = OptionType::Boolean},
};
inline constexpr OptionTable logging{loggingDefs};
inline constexpr OptionDef globalDefs[] = {
    {.name = "hypertextencoding", .type = OptionType::Keyword, .keywords = hypertextEncodings},
    {.name = "SearchPath", .type = OptionType::String},
    {.name = "FontOutline", .type = OptionType::String},
    {.name = "logging", .type = OptionType::OptionList, .nested = &logging},
    {.name = "errorpolicy", .type = OptionType::Keyword, .keywords = errorPolicies},
    {.name = "deterministic", .type = OptionType::Boolean},
};
inline constexpr OptionTable global{globalDefs};

// PDF_get_string.
inline constexpr OptionDef getStringDefs[] = {
    {.name = "version", .type = OptionType::Boolean},
};
inline constexpr OptionTable getString{getStringDefs};

// PDF_begin_document. The order of compatibilities is the order of versions.
inline constexpr std::string_view compatibilities[] = {"1.3", "1.4", "1.5", "1.6", "1.7", "2.0"};
inline constexpr std::string_view permissionKeywords[] = {
    "noprint",    "nohiresprint", "nocopy",   "noaccessible",  "nomodify",
    "noassemble", "noforms",      "noannots", "plainmetadata",
};
inline constexpr OptionDef beginDocumentDefs[] = {
    {.name = "compatibility", .type = OptionType::Keyword, .keywords = compatibilities},
    {.name = "masterpassword", .type = OptionType::String},
    {.name = "userpassword", .type = OptionType::String},
    {.name = "permissions", .type = OptionType::KeywordList, .keywords = permissionKeywords},
};
inline constexpr OptionTable beginDocument{beginDocumentDefs};

// Calls that take an option list but accept no option yet.
inline constexpr OptionTable none{};

// PDF_load_font.
inline constexpr OptionDef loadFontDefs[] = {
    {.name = "embedding", .type = OptionType::Boolean},
    {.name = "subsetting", .type = OptionType::Boolean},
    {.name = "faceindex", .type = OptionType::Integer, .min = 0, .max = 65535},
};
inline constexpr OptionTable loadFont{loadFontDefs};

// PDF_set_text_option; PDF_fit_textline takes some of them too. Horizontal
// scaling and font size must be positive, which is checked by the call.
inline constexpr OptionDef textDefs[] = {
    {.name = "font", .type = OptionType::Integer, .min = -1},
    {.name = "fontsize", .type = OptionType::Number},
    {.name = "charspacing", .type = OptionType::Number},
    {.name = "wordspacing", .type = OptionType::Number},
    {.name = "horizscaling", .type = OptionType::Number},
    {.name = "leading", .type = OptionType::Number},
    {.name = "textrise", .type = OptionType::Number},
    {.name = "textrendering", .type = OptionType::Integer, .min = 0, .max = 7},
    {.name = "fillcolor", .type = OptionType::Color},
    {.name = "strokecolor", .type = OptionType::Color},
};
inline constexpr OptionTable text{textDefs};

// PDF_fit_textline. The order of the methods is irrelevant: they are looked up
// by keyword.
inline constexpr std::string_view textFitMethods[] = {"nofit", "clip", "auto", "meet", "entire"};
inline constexpr OptionDef fitTextlineDefs[] = {
    {.name = "position", .type = OptionType::List, .minItems = 1, .maxItems = 2},
    {.name = "boxsize", .type = OptionType::NumberList, .minItems = 2, .maxItems = 2},
    {.name = "margin", .type = OptionType::NumberList, .min = 0, .minItems = 1, .maxItems = 2},
    {.name = "fitmethod", .type = OptionType::Keyword, .keywords = textFitMethods},
    {.name = "shrinklimit", .type = OptionType::Number, .min = 1, .max = 100},
    {.name = "rotate", .type = OptionType::Number},
    {.name = "textlen", .type = OptionType::Integer, .min = 0},
    {.name = "showborder", .type = OptionType::Boolean},
    {.name = "font", .type = OptionType::Integer, .min = -1},
    {.name = "fontsize", .type = OptionType::Number},
    {.name = "fillcolor", .type = OptionType::Color},
    {.name = "charspacing", .type = OptionType::Number},
    {.name = "wordspacing", .type = OptionType::Number},
    {.name = "horizscaling", .type = OptionType::Number},
};
inline constexpr OptionTable fitTextline{fitTextlineDefs};

// PDF_set_graphics_option.
inline constexpr OptionDef graphicsDefs[] = {
    {.name = "linewidth", .type = OptionType::Number, .min = 0},
    {.name = "linecap", .type = OptionType::Integer, .min = 0, .max = 2},
    {.name = "linejoin", .type = OptionType::Integer, .min = 0, .max = 2},
    {.name = "miterlimit", .type = OptionType::Number, .min = 1},
    {.name = "dasharray", .type = OptionType::NumberList, .min = 0, .maxItems = 32},
    {.name = "dashphase", .type = OptionType::Number, .min = 0},
    {.name = "fillcolor", .type = OptionType::Color},
    {.name = "strokecolor", .type = OptionType::Color},
};
inline constexpr OptionTable graphics{graphicsDefs};

// PDF_open_pdi_document, PDF_open_pdi_page, PDF_fit_pdi_page, PDF_process_pdi.
inline constexpr std::string_view repairModes[] = {"never", "auto"};
inline constexpr OptionDef openPdiDocumentDefs[] = {
    {.name = "password", .type = OptionType::String},
    {.name = "repair", .type = OptionType::Keyword, .keywords = repairModes},
};
inline constexpr OptionTable openPdiDocument{openPdiDocumentDefs};
// The order of the boxes is that of PageBox.
inline constexpr std::string_view pageBoxes[] = {"media", "crop", "bleed", "trim", "art"};
inline constexpr OptionDef openPdiPageDefs[] = {
    {.name = "pdiusebox", .type = OptionType::Keyword, .keywords = pageBoxes},
};
inline constexpr OptionTable openPdiPage{openPdiPageDefs};
// The orders are those of FitMethod and Orientation.
inline constexpr std::string_view fitMethods[] = {"nofit", "meet", "slice", "entire", "clip", "auto"};
inline constexpr std::string_view orientations[] = {"north", "east", "south", "west"};
inline constexpr OptionDef fitPdiPageDefs[] = {
    {.name = "adjustpage", .type = OptionType::Boolean},
    {.name = "boxsize", .type = OptionType::NumberList, .min = 0, .minItems = 2, .maxItems = 2},
    {.name = "fitmethod", .type = OptionType::Keyword, .keywords = fitMethods},
    {.name = "position", .type = OptionType::List, .minItems = 1, .maxItems = 2},
    {.name = "scale", .type = OptionType::NumberList, .minItems = 1, .maxItems = 2},
    {.name = "rotate", .type = OptionType::Number},
    {.name = "orientate", .type = OptionType::Keyword, .keywords = orientations},
};
inline constexpr OptionTable fitPdiPage{fitPdiPageDefs};
inline constexpr std::string_view pdiActions[] = {"copyoutputintent"};
inline constexpr OptionDef processPdiDefs[] = {
    {.name = "action", .type = OptionType::Keyword, .keywords = pdiActions},
};
inline constexpr OptionTable processPdi{processPdiDefs};

}  // namespace pdfengine::options

// The options each call accepts. One table per call (or family of calls);
// code that adds calls adds its table here, next to the others.
#pragma once

#include <array>
#include <cstddef>
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

// PDF_fill_textblock and PDF_fill_imageblock: the block's properties, which the
// options override. Values that would make no sense on any page are out of range.
inline constexpr double blockLimit = 10000;

template <size_t A, size_t B>
constexpr std::array<OptionDef, A + B> joined(const std::array<OptionDef, A>& a,
                                              const std::array<OptionDef, B>& b)
{
    std::array<OptionDef, A + B> all{};
    for (size_t i = 0; i < A; ++i)
        all[i] = a[i];
    for (size_t i = 0; i < B; ++i)
        all[A + i] = b[i];
    return all;
}

// What text and image blocks share: where the content sits and the frame.
inline constexpr std::array<OptionDef, 7> blockDefs{{
    {.name = "position", .type = OptionType::List, .minItems = 1, .maxItems = 2},
    {.name = "fitmethod", .type = OptionType::Keyword, .keywords = fitMethods},
    {.name = "margin",
     .type = OptionType::NumberList,
     .min = 0,
     .max = blockLimit,
     .minItems = 1,
     .maxItems = 2},
    {.name = "rotate", .type = OptionType::Number},
    {.name = "bgcolor", .type = OptionType::Color},
    {.name = "bordercolor", .type = OptionType::Color},
    {.name = "linewidth", .type = OptionType::Number, .min = 0, .max = blockLimit},
}};
inline constexpr auto fillTextblockDefs = joined(
    blockDefs, std::array<OptionDef, 13>{{
                   {.name = "encoding", .type = OptionType::String},
                   {.name = "font", .type = OptionType::Integer, .min = -1},
                   {.name = "textlen", .type = OptionType::Integer, .min = 0},
                   {.name = "fontname", .type = OptionType::String},
                   {.name = "fontsize", .type = OptionType::Number, .min = 0, .max = blockLimit},
                   {.name = "fillcolor", .type = OptionType::Color},
                   {.name = "strokecolor", .type = OptionType::Color},
                   {.name = "charspacing", .type = OptionType::Number, .min = -blockLimit, .max = blockLimit},
                   {.name = "wordspacing", .type = OptionType::Number, .min = -blockLimit, .max = blockLimit},
                   {.name = "horizscaling", .type = OptionType::Number, .min = 1, .max = blockLimit},
                   {.name = "shrinklimit", .type = OptionType::Number, .min = 1, .max = 100},
                   {.name = "textflow", .type = OptionType::Boolean},
                   {.name = "defaulttext", .type = OptionType::String},
               }});
inline constexpr OptionTable fillTextblock{fillTextblockDefs};
inline constexpr auto fillImageblockDefs =
    joined(blockDefs, std::array<OptionDef, 1>{{
                          {.name = "defaultimage", .type = OptionType::String},
                      }});
inline constexpr OptionTable fillImageblock{fillImageblockDefs};

// PDF_create_fieldgroup and PDF_create_field. The orders of the alignments
// and button styles are those of FieldAlignment and ButtonStyle.
inline constexpr std::string_view fieldGroupTypes[] = {"radiobutton"};
inline constexpr OptionDef fieldGroupDefs[] = {
    {.name = "fieldtype", .type = OptionType::Keyword, .keywords = fieldGroupTypes},
    {.name = "tooltip", .type = OptionType::String},
    {.name = "readonly", .type = OptionType::Boolean},
    {.name = "required", .type = OptionType::Boolean},
};
inline constexpr OptionTable fieldGroup{fieldGroupDefs};
inline constexpr std::string_view fieldAlignments[] = {"left", "center", "right"};
inline constexpr std::string_view buttonStyles[] = {"check", "circle", "cross", "diamond", "square", "star"};
inline constexpr OptionDef fieldDefs[] = {
    {.name = "currentvalue", .type = OptionType::String},
    {.name = "font", .type = OptionType::Integer, .min = -1},
    {.name = "fontsize", .type = OptionType::Number, .min = 0, .max = 1000},
    {.name = "bordercolor", .type = OptionType::Color},
    {.name = "backgroundcolor", .type = OptionType::Color},
    {.name = "fillcolor", .type = OptionType::Color},
    {.name = "alignment", .type = OptionType::Keyword, .keywords = fieldAlignments},
    {.name = "multiline", .type = OptionType::Boolean},
    {.name = "maxchar", .type = OptionType::Integer, .min = 0},
    {.name = "readonly", .type = OptionType::Boolean},
    {.name = "required", .type = OptionType::Boolean},
    {.name = "tooltip", .type = OptionType::String},
    {.name = "buttonstyle", .type = OptionType::Keyword, .keywords = buttonStyles},
};
inline constexpr OptionTable field{fieldDefs};

}  // namespace pdfengine::options

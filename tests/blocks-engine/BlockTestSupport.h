// Helpers of the block tests: template PDFs with blocks, and output documents
// that place a template page and fill its blocks.
#pragma once

#include <functional>
#include <string>

#include "pdfengine/pdf_api.h"
#include "tests/support/PdfFixtures.h"

namespace blocktest {

// Writes a one-page PDF of that media box (and further page entries) whose
// blocks `addBlocks` adds.
void writeTemplate(const std::string& path, const std::string& mediaBox,
                   const std::function<void(fixtures::PdfBuilder&, QPDFObjectHandle page)>& addBlocks,
                   const std::string& pageEntries = "");

// What an output page does with the template.
struct Placement {
    std::string options = "adjustpage";  // of PDF_fit_pdi_page
    double x = 0;
    double y = 0;
};

// Writes `out`: one page of 595 x 842 (or the template's size with
// adjustpage) on which page 1 of `templ` is placed, then `fill` is called
// with the handle and the PDI page handle.
void writeFilled(PDF* p, const std::string& out, const std::string& templ, const Placement& placement,
                 const std::function<void(PDF*, int page)>& fill);

// Texts as the renderer passes them: FF FE and UTF-16LE, and the option list
// that goes with it ("encoding UniJIS-UCS2-H [font=N] [more] textlen=N").
std::string rendererText(const std::string& utf8);
std::string rendererOptions(const std::string& text, int font = -1, const std::string& more = "");

}  // namespace blocktest

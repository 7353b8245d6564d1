#include "tests/blocks-engine/BlockTestSupport.h"

#include "tests/text-engine/TextTestSupport.h"

namespace blocktest {

void writeTemplate(const std::string& path, const std::string& mediaBox,
                   const std::function<void(fixtures::PdfBuilder&, QPDFObjectHandle page)>& addBlocks,
                   const std::string& pageEntries)
{
    fixtures::PdfBuilder builder;
    // A thin frame, so that the template is visible but leaves the inside white.
    QPDFObjectHandle page = builder.addPage(mediaBox, "0.9 g 0 0 5 5 re f", pageEntries);
    addBlocks(builder, page);
    builder.write(path);
}

void writeFilled(PDF* p, const std::string& out, const std::string& templ, const Placement& placement,
                 const std::function<void(PDF*, int page)>& fill)
{
    PDF_begin_document(p, out.c_str(), 0, "");
    PDF_begin_page_ext(p, 595, 842, "");
    int doc = PDF_open_pdi_document(p, templ.c_str(), 0, "");
    int page = PDF_open_pdi_page(p, doc, 1, "");
    PDF_fit_pdi_page(p, page, placement.x, placement.y, placement.options.c_str());
    fill(p, page);
    PDF_end_page_ext(p, "");
    PDF_close_pdi_page(p, page);
    PDF_close_pdi_document(p, doc);
    PDF_end_document(p, "");
}

std::string rendererText(const std::string& utf8)
{
    return "\xFF\xFE" + texttest::utf16le(utf8);
}

std::string rendererOptions(const std::string& text, int font, const std::string& more)
{
    std::string options = "encoding UniJIS-UCS2-H";
    if (font != -1)
        options += " font=" + std::to_string(font);
    if (!more.empty())
        options += " " + more;
    return options + " textlen=" + std::to_string(text.size());
}

}  // namespace blocktest

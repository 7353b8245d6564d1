// A PDF from anyone, opened for import: walked by template mode itself (page count,
// each page opened, its blocks counted and named, the skeleton printed), then its
// first pages placed on pages of a document made in memory, as a configuration run
// places backgrounds.
#include <algorithm>

#include "app/BlockTemplate.h"
#include "fuzz/targets/FuzzSupport.h"
#include "fuzz/targets/FuzzTargets.h"
#include "pdfengine/pdf_api.h"

namespace fuzztargets {

namespace {

// Pages placed on output pages.
constexpr int placedPages = 2;

void placePages(const std::string& path)
{
    PDF* p = PDF_new();
    PDF_set_option(p, "deterministic");
    PDF_begin_document(p, "", 0, "");
    const int doc = PDF_open_pdi_document(p, path.c_str(), 0, "");
    if (doc != -1) {
        // A count the document has, not what its page tree claims.
        const int pages =
            std::min(static_cast<int>(PDF_pcos_get_number(p, doc, "length:pages")), placedPages);
        for (int number = 1; number <= pages; ++number) {
            const int page = PDF_open_pdi_page(p, doc, number, "");
            if (page == -1)
                continue;
            PDF_begin_page_ext(p, 595, 842, "");
            PDF_fit_pdi_page(p, page, 0, 0, "adjustpage");
            PDF_end_page_ext(p, "");
            PDF_close_pdi_page(p, page);
        }
        (void)PDF_process_pdi(p, doc, -1, "action=copyoutputintent");
        PDF_close_pdi_document(p, doc);
    }
    PDF_end_document(p, "");
    long length = 0;
    (void)PDF_get_buffer(p, &length);
    PDF_delete(p);
}

}  // namespace

int pdiDocument(const uint8_t* data, size_t size)
{
    const std::string path = scratchPath("input.pdf");
    writeBytes(path, std::string_view(reinterpret_cast<const char*>(data), size));
    printBlockTemplate(path.c_str());
    placePages(path);
    return 0;
}

}  // namespace fuzztargets

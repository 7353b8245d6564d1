// Throughput of the engine on a large document: N pages (default 10,000), each
// with 50 graphics calls and a background form XObject shared by every page.
// Prints the wall time, pages per second, the file size and the peak memory.
// Not a test: speed is never asserted. Build with
//   cmake --build <build> --target bench_pdfengine
// and run build/tests/pdfengine/bench_pdfengine [pages] [output.pdf].
#include <sys/resource.h>
#include <sys/stat.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pdfengine/Handle.h"

int main(int argc, char** argv)
{
    const int pages = argc > 1 ? std::atoi(argv[1]) : 10000;
    const std::string output = argc > 2 ? argv[2] : "/tmp/bench_pdfengine.pdf";
    const auto start = std::chrono::steady_clock::now();

    PDF* p = PDF_new();
    PDF_set_option(p, "deterministic");
    if (PDF_begin_document(p, output.c_str(), 0, "") != 1) {
        std::fprintf(stderr, "%s\n", PDF_get_errmsg(p));
        return 1;
    }
    PDF_set_info(p, "Title", "bench");
    pdfengine::Document& document = p->engine.document();
    auto background = document.pdf().newStream("0.9 g 0 0 595 842 re f");
    background.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    background.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    background.getDict().replaceKey("/BBox", QPDFObjectHandle::parse("[0 0 595 842]"));

    for (int page = 0; page < pages; ++page) {
        PDF_begin_page_ext(p, 595.8, 843.25, "");
        pdfengine::Page& current = p->engine.page();
        current.content().name(current.useResource(pdfengine::ResourceType::XObject, background)).op("Do");
        // 50 calls: 2 settings, 12 stroked lines (36), 4 rectangles (8), 4 colours.
        PDF_setlinewidth(p, 0.5 + page % 3);
        PDF_set_graphics_option(p, "linecap=1 linejoin=1");
        for (int i = 0; i < 12; ++i) {
            PDF_moveto(p, 20 + i * 10.5, 100 + page % 50);
            PDF_lineto(p, 300.25 + i, 700 - i * 3.3);
            PDF_stroke(p);
        }
        for (int i = 0; i < 4; ++i) {
            PDF_setcolor(p, "fill", "rgb", i / 4.0, (page % 256) / 255.0, 0.5, 0);
            PDF_rect(p, 50 + i * 100, 50, 80, 40.5);
            PDF_fill_stroke(p);
        }
        PDF_end_page_ext(p, "");
    }
    PDF_end_document(p, "");
    const int errnum = PDF_get_errnum(p);
    PDF_delete(p);

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    struct stat info {};
    stat(output.c_str(), &info);
    std::printf("%d pages in %.3f s (%.0f pages/s), %lld bytes, peak RSS %ld MB, errnum %d\n", pages, seconds,
                pages / seconds, static_cast<long long>(info.st_size), usage.ru_maxrss / 1024, errnum);
    return errnum == 0 ? 0 : 1;
}

// Throughput of text on a large document: N pages (default 10,000), each with 30
// texts as the renderer shows them (20 in Helvetica, 10 in IPAex Gothic from its
// font file with the unicode encoding), and the time of a one-page document
// with the same texts. Not a test: speed is never asserted. Build with
//   cmake --build <build> --target bench_text
// and run build/tests/text-engine/bench_text [pages] [output.pdf].
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pdfengine/pdf_api.h"

namespace {

const char* kGothic = "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf";
// 株式会社東京都千代田区 in UTF-16LE.
const char kJapanese[] =
    "\x2a\x68\x0f\x5f\x1a\x4f\x3e\x79\x71\x67\xac\x4e\x3d\x90\x43\x53\xe3\x4e\x30\x75\x3a\x53";

void page(PDF* p)
{
    PDF_begin_page_ext(p, 595.8, 843.25, "");
    for (int i = 0; i < 20; ++i) {
        PDF_set_text_pos(p, 50, 800 - i * 20);
        int font = PDF_load_font(p, "Helvetica", 0, "winansi", "");
        PDF_setfont(p, font, 10);
        PDF_setcolor(p, "stroke", "rgb", 0, 0, 0, 0);
        PDF_save(p);
        if (i % 3 == 1) {
            double width = PDF_stringwidth(p, "Invoice number 12345", font, 10);
            PDF_set_text_pos(p, 300 - width / 2, 800 - i * 20);
        }
        PDF_show(p, "Invoice number 12345");
        PDF_restore(p);
    }
    for (int i = 0; i < 10; ++i) {
        PDF_set_text_pos(p, 300, 800 - i * 20);
        PDF_set_option(p, (std::string("FontOutline={IPAexGothic=") + kGothic + "}").c_str());
        int font = PDF_load_font(p, "IPAexGothic", 0, "unicode", "");
        PDF_setfont(p, font, 10);
        PDF_setcolor(p, "stroke", "rgb", 0, 0, 0, 0);
        PDF_save(p);
        PDF_show2(p, kJapanese, sizeof kJapanese - 1);
        PDF_restore(p);
    }
    PDF_end_page_ext(p, "");
}

double run(int pages, const std::string& output)
{
    auto start = std::chrono::steady_clock::now();
    PDF* p = PDF_new();
    PDF_set_option(p, "deterministic");
    if (PDF_begin_document(p, output.c_str(), 0, "") != 1) {
        std::fprintf(stderr, "%s\n", PDF_get_errmsg(p));
        std::exit(1);
    }
    for (int i = 0; i < pages; ++i)
        page(p);
    PDF_end_document(p, "");
    if (PDF_get_errnum(p) != 0)
        std::fprintf(stderr, "%s\n", PDF_get_errmsg(p));
    PDF_delete(p);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const int pages = argc > 1 ? std::atoi(argv[1]) : 10000;
    const std::string output = argc > 2 ? argv[2] : "/tmp/bench_text.pdf";
    double one = run(1, output);
    std::printf("1 page: %.1f ms\n", one * 1000);
    double many = run(pages, output);
    std::printf("%d pages: %.3f s, %.0f pages per second\n", pages, many, pages / many);
    return 0;
}

// Loads a configuration into the document model and nothing else: the time of the
// load alone, without rendering. Prints one line:
//   elapsed_s=<seconds> pages=<pages> objects=<objects>
// and exits 1 (with the error on standard error) when the load fails.
#include <chrono>
#include <cstdio>

#include "config/tr_pdffile.h"
#include "foundation/TORException.h"
#include "model/TORPDFPage.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_config_load file.conf\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    tr_pdffile document;
    try {
        document.load(argv[1]);
    } catch (const TORException& error) {
        std::fprintf(stderr, "load failed: %s\n", error.getMessage() ? error.getMessage() : "");
        return 1;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    long objects = 0;
    for (int32_t i = 0; i < document.getCount(); ++i) {
        if (auto* page = dynamic_cast<TORPDFPage*>(document.get(i)))
            objects += page->getCount();
    }
    std::printf("elapsed_s=%.6f pages=%d objects=%ld\n", elapsed.count(), document.getCount(), objects);
    return 0;
}

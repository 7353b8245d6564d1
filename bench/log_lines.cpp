// Appends lines to a run log as configuration runs do, one writer per line, each
// line checking whether the file must rotate. Prints one line:
//   elapsed_s=<seconds> lines=<written>
// Usage: bench_log_lines log-path lines [type-hex [size-hex]]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "logging/run_log.h"

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: bench_log_lines log-path lines [type-hex [size-hex]]\n");
        return 2;
    }
    const char* path = argv[1];
    const long lines = std::strtol(argv[2], nullptr, 10);
    const auto type = static_cast<uint32_t>(argc > 3 ? std::strtoul(argv[3], nullptr, 16) : 0x23);
    const auto size = static_cast<uint32_t>(argc > 4 ? std::strtoul(argv[4], nullptr, 16) : 0x100000);

    char text[128];
    long written = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < lines; ++i) {
        std::snprintf(text, sizeof text, "Quillon bench line %06ld of a batch job's run log", i);
        written += logRunText(path, type, size, text) ? 1 : 0;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("elapsed_s=%.6f lines=%ld\n", elapsed.count(), written);
    return written == lines ? 0 : 1;
}

// quillon-blocks input.pdf blocks.ini output.pdf: adds the blocks the INI file
// describes to a copy of the PDF. docs/quillon-blocks.md is its manual.
#include <cstdio>
#include <exception>

#include "tools/quillon-blocks/BlockIni.h"
#include "tools/quillon-blocks/BlockWriter.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: quillon-blocks input.pdf blocks.ini output.pdf\n", stderr);
        return 2;
    }
    try {
        const auto blocks = quillonblocks::BlockIni::read(argv[2]);
        quillonblocks::BlockWriter::write(argv[1], argv[2], blocks, argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillon-blocks: %s\n", e.what());
        return 1;
    }
    return 0;
}

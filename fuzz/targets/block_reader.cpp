// Block definitions read from a page built from the input. The input is the bodies
// of objects 1, 2, ... separated by "endobj"; object 1 is the page dictionary (so
// the input decides the whole /PieceInfo chain) and "2 0 R" reaches the second.
// qpdf reads the objects lazily, so damage shows while the blocks are read, as it
// does with imported files.
#include <exception>
#include <string>
#include <vector>

#include "fuzz/targets/FuzzSupport.h"
#include "fuzz/targets/FuzzTargets.h"
#include "pdfengine/BlockReader.h"
#include "pdfengine/PdfText.h"
#include "tests/support/PdfFixtures.h"

namespace fuzztargets {

namespace {

// Objects this many and more are not made: every one costs a line of the
// cross-reference table, and the reader needs few.
constexpr size_t maxObjects = 256;

std::vector<std::string> objectBodies(std::string_view input)
{
    std::vector<std::string> objects;
    while (objects.size() < maxObjects) {
        size_t end = input.find("endobj");
        objects.emplace_back(input.substr(0, end));
        if (end == std::string_view::npos)
            break;
        input.remove_prefix(end + 6);
    }
    return objects;
}

void checkBlocks(const std::vector<pdfengine::BlockDefinition>& blocks)
{
    for (size_t i = 0; i < blocks.size(); ++i) {
        const auto& block = blocks[i];
        if (i > 0) {
            const auto& before = blocks[i - 1];
            expect(before.name < block.name || (before.name == block.name && before.key <= block.key),
                   "blocks out of name order");
        }
        const pdfengine::BlockDefinition* found = pdfengine::BlockReader::find(blocks, block.name);
        expect(found && (found->name == block.name || found->key == block.name),
               "a block not found by its name");
        if (block.rect) {
            expect(block.rect->llx <= block.rect->urx && block.rect->lly <= block.rect->ury,
                   "a rectangle with its corners swapped");
        }
        if (block.fontSize)
            expect(*block.fontSize > 0, "a font size that is not above 0");
        for (const auto* color : {&block.fillColor, &block.strokeColor, &block.bgColor, &block.borderColor}) {
            if (!*color)
                continue;
            for (double component : (*color)->components)
                expect(component >= 0 && component <= 1, "a colour component out of range");
        }
    }
}

}  // namespace

int blockReader(const uint8_t* data, size_t size)
{
    std::vector<std::string> objects =
        objectBodies(std::string_view(reinterpret_cast<const char*>(data), size));
    const size_t catalog = objects.size() + 1;
    objects.push_back("<< /Type /Catalog /Pages " + std::to_string(catalog + 1) + " 0 R >>");
    objects.push_back("<< /Type /Pages /Kids [] /Count 0 >>");
    const std::string file = fixtures::rawPdf(objects, "/Root " + std::to_string(catalog) + " 0 R");
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("blocks", file.data(), file.size());
        pdfengine::BlockReader reader(pdfengine::cp932ToUtf8);
        checkBlocks(reader.read(pdf.getObjectByID(1, 0)));
    } catch (const std::exception&) {
        // qpdf's verdict on a damaged object; the engine reports it as damage.
    }
    return 0;
}

}  // namespace fuzztargets

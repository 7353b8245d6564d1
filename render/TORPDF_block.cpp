// The renderer's blocks: text and image blocks of the imported page and form fields.
#include "render/TORPDF.h"

namespace {

// ブロックオブジェクトが不正です
const char badBlock[] =
    "\x83u\x83\x8D\x83"
    "b\x83N\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";
// ブロック名が不正です
const char badBlockName[] =
    "\x83u\x83\x8D\x83"
    "b\x83N\x96\xBC\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";

}  // namespace

bool TORPDF::renderBlock(const TORPDFBlock* block)
{
    checkInitialized();
    checkDocument();
    checkPage();
    checkPdiDocument();
    if (!block)
        raiseError(badBlock);
    if (!block->getName())
        raiseError(badBlockName);
    // Filling text and image blocks and creating form fields come here with the block
    // renderer; until then a block is checked and left as the imported page has it.
    return true;
}

// The renderer's blocks: text and image blocks of the imported page and form fields.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/TORPDFException.h"
#include "render/TORPDF.h"
#include "text/TORConverter.h"

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
// ブロック '%s' のオプションまたは内容が長すぎます
const char blockTooLong[] =
    "\x83u\x83\x8D\x83"
    "b\x83N '%s' \x82\xCC\x83I\x83v\x83V\x83\x87\x83\x93\x82\xDC\x82\xBD\x82\xCD\x93\xE0\x97"
    "e\x82\xAA\x92\xB7\x82\xB7\x82\xAC\x82\xDC\x82\xB7";

// Room of the formatted message; a longer block name is cut in the message only.
constexpr int32_t messageRoom = 512;

const char utf8Mark[] = "\xEF\xBB\xBF";

// Block texts go to the engine as UTF-16 with a byte-order mark.
const char blockEncoding[] = "UniJIS-UCS2-H";

bool given(const char* text)
{
    return text && *text;
}

[[noreturn]] void raiseTooLong(const TORPDFBlock& block)
{
    throw TORPDFException(-1, messageRoom, blockTooLong, block.getName());
}

// The UTF-8 form of a Shift-JIS text in at most size bytes with its terminator;
// raises for the block when it does not fit.
std::string toUtf8(const char* text, size_t size, const TORPDFBlock& block)
{
    if (!given(text))
        return {};
    std::vector<char> converted(size, 0);
    if (!TORConverter::sjisToUtf8(converted.data(), converted.size(), text))
        raiseTooLong(block);
    return converted.data();
}

}  // namespace

std::unique_ptr<TORStringArray> TORPDF::radioGroups;

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
    switch (block->getKind()) {
        case TORPDFBlock::kindText:
            return fillTextBlock(*block);
        case TORPDFBlock::kindImage:
            return fillImageBlock(*block);
        case TORPDFBlock::kindTextField:
            return createTextField(*block);
        case TORPDFBlock::kindRadioButton:
            return createButton(*block, true);
        case TORPDFBlock::kindCheckBox:
            return createButton(*block, false);
        default:
            // A PDF block, and kinds nobody sets, place nothing.
            return true;
    }
}

void TORPDF::checkBlockOptions(const std::string& list, const TORPDFBlock& block)
{
    // Cutting an option list would change its meaning, or break it mid-value.
    if (list.size() >= blockOptionSize)
        raiseTooLong(block);
}

bool TORPDF::fillTextBlock(const TORPDFBlock& block)
{
    const char* description = block.getDescription();
    if (!description)
        return true;
    const TORPDFFont* font = block.getFont();
    if (font)
        applyFont(font);
    std::string list = std::string("encoding ") + blockEncoding;
    if (font)
        list += " font=" + std::to_string(fontHandle);
    if (given(block.getOptions()))
        list += std::string(" ") + block.getOptions();
    char bytes[blockTextSize];
    int32_t length = convertText(bytes, sizeof bytes, description, blockEncoding);
    list += " textlen=" + std::to_string(length);
    checkBlockOptions(list, block);
    // A block that cannot be filled leaves the page as it is; rendering goes on.
    PDF_fill_textblock(pdf, pdiPageHandle, block.getName(), bytes, length, list.c_str());
    return true;
}

bool TORPDF::fillImageBlock(const TORPDFBlock& block)
{
    int image = -1;
    if (block.getDescription())
        image = PDF_load_image(pdf, "auto", block.getDescription(), 0, "");
    // An image that cannot be loaded still reaches the block, which then reports it.
    PDF_fill_imageblock(pdf, pdiPageHandle, block.getName(), image,
                        block.getOptions() ? block.getOptions() : "");
    if (image != -1)
        PDF_close_image(pdf, image);
    return true;
}

bool TORPDF::createTextField(const TORPDFBlock& block)
{
    const TORPDFPoint* lowerLeft = block.getCorner(true);
    const TORPDFPoint* upperRight = block.getCorner(false);
    if (!lowerLeft || !upperRight)
        return false;
    const TORPDFFont* font = block.getFont();
    if (font)
        applyFont(font);
    // The list is read as UTF-8, so the options are converted with the value: a
    // Japanese tooltip in Shift-JIS would otherwise be broken UTF-8.
    std::string list = std::string(utf8Mark) + toUtf8(block.getOptions(), blockTextSize, block) +
                       " currentvalue={" + toUtf8(block.getDescription(), blockTextSize, block) + "} ";
    if (font) {
        list += "font=" + std::to_string(fontHandle) +
                " fontsize=" + std::to_string(static_cast<int>(font->getSize())) + " ";
    }
    checkBlockOptions(list, block);
    PDF_create_field(pdf, lowerLeft->getX(), lowerLeft->getY(), upperRight->getX(), upperRight->getY(),
                     block.getName(), 0, "textfield", list.c_str());
    return true;
}

bool TORPDF::createButton(const TORPDFBlock& block, bool radio)
{
    const TORPDFPoint* lowerLeft = block.getCorner(true);
    const TORPDFPoint* upperRight = block.getCorner(false);
    if (!lowerLeft || !upperRight)
        return false;
    std::string list = block.getOptions() ? block.getOptions() : "";
    // Exactly "default": a state of "Default" leaves the button off.
    const char* state = block.getState();
    bool on = given(state) && findSubstring(state, "default", false);
    list += on ? " currentValue={On}" : " ";
    checkBlockOptions(list, block);
    if (radio)
        createRadioGroup(block.getName());
    PDF_create_field(pdf, lowerLeft->getX(), lowerLeft->getY(), upperRight->getX(), upperRight->getY(),
                     block.getName(), 0, radio ? "radiobutton" : "checkbox", list.c_str());
    return true;
}

void TORPDF::createRadioGroup(const char* buttonName)
{
    // A full stop is never the second byte of a Shift-JIS character.
    const char* stop = std::strchr(buttonName, '.');
    if (!stop)
        return;
    std::string group(buttonName, stop);
    // The lookup takes "*" and "?" in the group's name as a pattern.
    int32_t index = -1;
    if (radioGroups && radioGroups->find(&index, group.c_str(), false))
        return;
    PDF_create_fieldgroup(pdf, group.c_str(), 0, "fieldtype=radiobutton");
    if (!radioGroups)
        radioGroups = std::make_unique<TORStringArray>(16, 8);
    radioGroups->add(group.c_str());
}

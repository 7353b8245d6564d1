#include "config/tr_pdfblock.h"

#include <strings.h>

#include "config/ConfigSection.h"
#include "config/tr_pdffont.h"

namespace {

uint16_t kindOf(const std::string& type)
{
    if (strcasecmp(type.c_str(), "TEXT") == 0)
        return TORPDFBlock::kindText;
    if (strcasecmp(type.c_str(), "IMAGE") == 0)
        return TORPDFBlock::kindImage;
    if (strcasecmp(type.c_str(), "PDF") == 0)
        return TORPDFBlock::kindPdf;
    // Any other word makes a text block.
    return TORPDFBlock::kindText;
}

}  // namespace

tr_pdfblock::tr_pdfblock(const char* section, const char* path)
    : TORPDFBlock(nullptr, kindText, nullptr, nullptr, nullptr)
{
    ConfigSection keys(section, path);
    // Name, description and options are kept even when empty, so a loaded block
    // always has them.
    name.set(keys.text("name", "", 128).c_str());
    kind = kindOf(keys.text("type", "text", 128));
    description.set(keys.text("description", "", 128).c_str());
    options.set(keys.text("options", "", 128).c_str());
    if (!keys.text("face", "", 512).empty())
        font = std::make_unique<tr_pdffont>(section, path);
}

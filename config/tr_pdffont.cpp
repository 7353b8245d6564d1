#include "config/tr_pdffont.h"

#include "config/ConfigSection.h"
#include "config/FileChecks.h"
#include "foundation/TORPDFException.h"

namespace {

// "ファイル '%s' が見つかりません(セクション [%s])"
const char fileNotFound[] =
    "\x83t\x83@\x83"
    "C\x83\x8B '%s' \x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1(\x83Z\x83N"
    "\x83V\x83\x87\x83\x93 [%s])";

}  // namespace

tr_pdffont::tr_pdffont(const char* section, const char* path)
    : TORPDFFont(nullptr, nullptr, nullptr, 8, nullptr, 0)
{
    ConfigSection keys(section, path);
    face.set(nonEmpty(keys.text("face", "", 256)));
    std::string fileName = keys.text("file", "", 256);
    if (!fileName.empty()) {
        // Relative names are taken from the current folder; only existence counts.
        if (!fileExists(fileName.c_str()))
            throw TORPDFException(-1, 512, fileNotFound, fileName.c_str(), keys.name());
        file.set(fileName.c_str());
    }
    encoding.set(nonEmpty(keys.text("encoding", "", 256)));
    // Negative sizes wrap as unsigned 32-bit numbers.
    size = static_cast<double>(static_cast<uint32_t>(keys.integer("size", 8)));
    option.set(nonEmpty(keys.text("option", "", 256)));
    color = keys.hexadecimal("color", "000000", 256);
}

#include "config/tr_pdfpage.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "config/ConfigSection.h"
#include "config/Units.h"
#include "config/tr_pdfarea.h"
#include "config/tr_pdfblock.h"
#include "config/tr_pdftext.h"
#include "foundation/TORPDFException.h"

namespace {

// "オブジェクトタイプ '%s' が不正です(セクション [%s])"
const char badObjectType[] =
    "\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x83^\x83"
    "C\x83v '%s' \x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7(\x83Z\x83N"
    "\x83V\x83\x87\x83\x93 [%s])";

std::unique_ptr<TORObject> loadObject(const char* section, const char* path, double pageHeight)
{
    std::string type = ConfigSection(section, path).text("object_type", "", 256);
    // Compared exactly, with case.
    if (type == "text")
        return std::make_unique<tr_pdftext>(section, path, pageHeight);
    if (type == "block")
        return std::make_unique<tr_pdfblock>(section, path);
    if (type == "line" || type == "rect") {
        auto area = std::make_unique<tr_pdfarea>(section, path, pageHeight);
        area->setKind(type == "line" ? 1 : 2);
        return area;
    }
    throw TORPDFException(-1, 512, badObjectType, type.c_str(), section);
}

}  // namespace

tr_pdfpage::tr_pdfpage(int32_t pageNo, const char* path) : TORPDFPage(pageNo, 595, 842)
{
    char name[32];
    std::snprintf(name, sizeof name, "PAGE_%d", pageNo);
    ConfigSection keys(name, path);
    width = toPoints(keys.integer("width", 2102));
    height = toPoints(keys.integer("height", 2975));
    pdiPage = static_cast<uint16_t>(keys.integer("pdiPage", 0));
    std::string option = keys.text("pdiOption", "", 256);
    if (pdiPage != 0 && option.empty())
        option = "adjustpage";
    pdiOption.set(nonEmpty(option));
    pdiProcess.set(nonEmpty(keys.text("pdiProcess", "", 256)));

    // Every object needs its section, so the count is bounded by the file; a count
    // below 1 gives an empty page.
    int32_t objects = keys.integer("objects", 0);
    // "PUT_<page>_" once; each object's number is written after it.
    int prefix = std::snprintf(name, sizeof name, "PUT_%d_", pageNo);
    for (int64_t m = 1; m <= objects; ++m) {
        *std::to_chars(name + prefix, name + sizeof name - 1, m).ptr = '\0';
        std::unique_ptr<TORObject> object = loadObject(name, path, height);
        if (add(object.get()) < 0)
            throw std::bad_alloc();
        object.release();
    }
}

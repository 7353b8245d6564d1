#include "config/tr_pdffile.h"

#include <filesystem>
#include <memory>
#include <new>

#include "app/Banner.h"
#include "config/ConfigSection.h"
#include "config/FileChecks.h"
#include "config/tr_pdfpage.h"
#include "foundation/TORAllocator.h"
#include "foundation/TORPDFException.h"
#include "platform/profile.h"

namespace {

// "PDF ファイル名が指定されていません"
const char noPdfName[] =
    "PDF \x83t\x83@\x83"
    "C\x83\x8B\x96\xBC\x82\xAA\x8Ew\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9"
    "\x82\xF1";
// "masterPwd が指定されていません"
const char noMasterPwd[] =
    "masterPwd \x82\xAA\x8Ew\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// "ページがありまません"
const char noPages[] = "\x83y\x81[\x83W\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xDC\x82\xB9\x82\xF1";
// "ページ数 %d が多すぎます(最大 %d)"
const char tooManyPages[] =
    "\x83y\x81[\x83W\x90\x94 %d \x82\xAA\x91\xBD\x82\xB7\x82\xAC\x82\xDC\x82\xB7(\x8D\xC5\x91\xE5 %d)";
// "PDF ファイル名がコンフィグレーションファイルと同じです"
const char pdfNameIsConfiguration[] =
    "PDF \x83t\x83@\x83"
    "C\x83\x8B\x96\xBC\x82\xAA\x83R\x83\x93\x83t\x83"
    "B\x83O\x83\x8C\x81[\x83V\x83\x87\x83\x93\x83t\x83@\x83"
    "C\x83\x8B\x82\xC6\x93\xAF\x82\xB6\x82\xC5\x82\xB7";

[[noreturn]] void fail(const char* message)
{
    throw TORPDFException(-1, message, -1);
}

}  // namespace

tr_pdffile::tr_pdffile() = default;

tr_pdffile::tr_pdffile(const char* path)
{
    load(path);
}

bool tr_pdffile::load(const char* path)
{
    // One consistent view of the file for both halves, checked for changes once.
    platform::ProfileReadScope scope;
    loadSettings(path);
    loadPages(path);
    return true;
}

void tr_pdffile::loadPages(const char* path)
{
    platform::ProfileReadScope scope;
    FileCheckScope fileChecks;
    for (int32_t n = 1; n <= pageCount; ++n) {
        auto page = std::make_unique<tr_pdfpage>(n, path);
        if (add(page.get()) < 0)
            throw std::bad_alloc();
        page.release();
    }
}

void tr_pdffile::loadSettings(const char* path)
{
    platform::ProfileReadScope scope;
    TORAllocator::boundedCopy(confName, path ? path : "", sizeof confName);
    ConfigSection keys("PDF", path);

    // The log settings come first, so that every later error can be logged.
    TORAllocator::boundedCopy(logFile, keys.text("log_file", "", sizeof logFile).c_str(), sizeof logFile);
    logType = keys.hexadecimal("log_type", "0023", 256);
    logSize = keys.hexadecimal("log_size", "100000", 256);

    std::string pdfName = keys.text("pdfName", "", 256);
    if (pdfName.empty())
        fail(noPdfName);
    // Writing the PDF would replace the configuration it is made from.
    std::error_code error;
    if (path && std::filesystem::equivalent(pdfName, path, error))
        fail(pdfNameIsConfiguration);
    setPdfName(pdfName.c_str());
    setPdiName(nonEmpty(keys.text("pdiName", "", 256)));
    setAuthor(nonEmpty(keys.text("author", "", 256)));
    setCreator(nonEmpty(keys.text("creator", bannerText(), 256)));
    setTitle(nonEmpty(keys.text("title", "", 256)));
    setMasterPwd(nonEmpty(keys.text("masterPwd", "", 256)));

    std::string userPwd = keys.text("userPwd", "", 256);
    if (!userPwd.empty() && !getMasterPwd())
        fail(noMasterPwd);
    setUserPwd(nonEmpty(userPwd));
    std::string permissions = keys.text("permissions", "", 256);
    if (!permissions.empty() && !getMasterPwd())
        fail(noMasterPwd);
    setPermissions(nonEmpty(permissions));

    setCompatibility(nonEmpty(keys.text("compatibility", "", 256)));
    setTrace(nonEmpty(keys.text("trace", "", 256)));
    setPath(nonEmpty(keys.text("path", "", 256)));

    // A negative count means no pages just as 0 does.
    int32_t pages = keys.integer("pages", 0);
    if (pages <= 0)
        fail(noPages);
    if (pages > maxPages)
        throw TORPDFException(-1, 512, tooManyPages, pages, maxPages);
    pageCount = pages;
}

#include "app/BlockTemplate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "render/TORPDFlib.h"
#include "render/TORPDFlibDoc.h"
#include "render/TORPDFlibException.h"
#include "render/TORPDFlibPdi.h"
#include "render/TORPDFlibPdiPage.h"

namespace {

// The engine's error type and error number of a failure template mode stays quiet about.
constexpr int32_t silentErrorType = 12;
constexpr int silentErrorNumber = 2106;

// A count read from the PDF, truncated toward zero. A damaged file may claim any
// number; what an int cannot hold is cut to its range (and NaN is 0) instead of
// being converted with undefined result.
int truncatedCount(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(
        std::clamp(value, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max())));
}

void printSection(int page, int block, const char* name)
{
    std::printf("[PUT_%d_%d]\nobject_type=block\ntype=text\nname=%s\ndescription=\noptions=\n\n", page, block,
                name);
}

// Prints one section per named block of every page.
void walkBlocks(TORPDFlibPdi& pdi, std::vector<std::unique_ptr<TORPDFlibPdiPage>>& pages)
{
    int pageCount = truncatedCount(pdi.getNumber("/Root/Pages/Count"));
    char path[64];
    for (int page = 1; page <= pageCount; ++page) {
        // The page stays open until the imported document closes.
        pages.push_back(std::make_unique<TORPDFlibPdiPage>(&pdi, page));
        std::snprintf(path, sizeof path, "length:pages[%d]/blocks", page - 1);
        int blockCount = truncatedCount(pdi.getNumber(path));
        for (int block = 0; block < blockCount; ++block) {
            std::snprintf(path, sizeof path, "pages[%d]/blocks[%d]/Name", page - 1, block);
            // Names are printed whole, however long.
            std::unique_ptr<char[]> name(pdi.getString(path));
            if (name && name[0])
                printSection(page, block + 1, name.get());
        }
    }
}

// Closes what is open, pages and imported document first; an error while closing after
// an earlier error is passed over, the earlier one is what gets reported.
template <typename T>
void closeQuietly(std::unique_ptr<T>& object)
{
    try {
        object.reset();
    } catch (const TORPDFlibException&) {
    }
}

void reportError(const TORPDFlibException& error, int errorNumber, const std::string& apiName,
                 const std::string& message)
{
    if (currentPdflib && currentPdflib->getHandle()) {
        if (!(error.code == silentErrorType && errorNumber == silentErrorNumber))
            std::printf("ERRPR: 0x%04x [%d] %s: %s\n", static_cast<unsigned>(error.code), errorNumber,
                        apiName.c_str(), message.c_str());
    } else {
        std::printf("ERROR: 0x%04x\n", static_cast<unsigned>(error.code));
    }
}

}  // namespace

void printBlockTemplate(const char* path)
{
    auto pdflib = std::make_unique<TORPDFlib>();
    std::unique_ptr<TORPDFlibDoc> document;
    std::unique_ptr<TORPDFlibPdi> pdi;
    std::vector<std::unique_ptr<TORPDFlibPdiPage>> pages;
    try {
        document = std::make_unique<TORPDFlibDoc>("", "");
        pdi = std::make_unique<TORPDFlibPdi>(path, nullptr);
        walkBlocks(*pdi, pages);
        // Closed explicitly, so that an error while ending the document is reported.
        for (auto& page : pages)
            page->close();
        pdi->close();
        document->end();
    } catch (const TORPDFlibException& error) {
        // Read the failure before closing, which may record errors of its own.
        int errorNumber = 0;
        std::string apiName, message;
        if (PDF* p = currentPdflib ? currentPdflib->getHandle() : nullptr) {
            errorNumber = PDF_get_errnum(p);
            apiName = PDF_get_apiname(p);
            message = PDF_get_errmsg(p);
        }
        while (!pages.empty()) {
            closeQuietly(pages.back());
            pages.pop_back();
        }
        closeQuietly(pdi);
        closeQuietly(document);
        reportError(error, errorNumber, apiName, message);
    }
}

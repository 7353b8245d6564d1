// The renderer at document and page level: the handle, options and information, the
// output document, the imported PDF and its pages.
#include "render/TORPDF.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "foundation/TORPDFException.h"
#include "text/TORConverter.h"

namespace {

// 初期化されていません
const char notInitialized[] =
    "\x8F\x89\x8A\xFA\x89\xBB\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// PDF 文書が準備されていません
const char noDocument[] =
    "PDF \x95\xB6\x8F\x91\x82\xAA\x8F\x80\x94\xF5\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// 入力 PDF ファイルが準備されていません
const char noPdiDocument[] =
    "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
    "C\x83\x8B\x82\xAA\x8F\x80\x94\xF5\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// 入力 PDF ファイルのページが準備されていません
const char noPage[] =
    "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
    "C\x83\x8B\x82\xCC\x83y\x81[\x83W\x82\xAA\x8F\x80\x94\xF5\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9"
    "\x82\xF1";
// PDF 文書を作成できません
const char cannotCreateDocument[] =
    "PDF \x95\xB6\x8F\x91\x82\xF0\x8D\xEC\x90\xAC\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
// PDF オブジェクトが不正です
const char badFile[] =
    "PDF \x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";
// ページオブジェクトが不正です
const char badPage[] =
    "\x83y\x81[\x83W\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";
// 入力 PDF ファイル名が指定されていません
const char noPdiName[] =
    "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
    "C\x83\x8B\x96\xBC\x82\xAA\x8Ew\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// 入力 PDF ファイル '%s' が見つかりません
const char pdiNotFound[] =
    "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
    "C\x83\x8B '%s' \x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
// 入力 PDF ファイル '%s' を開けません
const char pdiCannotOpen[] =
    "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
    "C\x83\x8B '%s' \x82\xF0\x8AJ\x82\xAF\x82\xDC\x82\xB9\x82\xF1";
// 入力 PDF ファイルのページ '%d' を開けません
const char pdiPageCannotOpen[] =
    "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
    "C\x83\x8B\x82\xCC\x83y\x81[\x83W '%d' \x82\xF0\x8AJ\x82\xAF\x82\xDC\x82\xB9\x82\xF1";
const char pdiProcessFailed[] = "(%d,%d,%d,'%s')";

// Room of the formatted messages that carry a name.
constexpr int32_t messageRoom = 512;

bool given(const char* text)
{
    return text && *text;
}

// Appends "<key>={<value>} " (the blank left out for the last entry) when value is
// given; false when the list would not fit in limit bytes with its terminator.
bool appendEntry(std::string& list, size_t limit, const char* key, const char* value, bool last)
{
    if (!given(value))
        return true;
    std::string entry = std::string(key) + "={" + value + "}" + (last ? "" : " ");
    if (list.size() + entry.size() >= limit)
        return false;
    list += entry;
    return true;
}

}  // namespace

bool TORPDF::pdiProcessPending = true;

void TORPDF::raiseError(const char* message)
{
    throw TORPDFException(-1, message, -1);
}

TORPDF::~TORPDF()
{
    // A destructor must not raise: an engine error while ending the document drops it.
    try {
        terminate();
    } catch (...) {
        abandon();
    }
}

TORPDF* TORPDF::attachArea(const TORPDFArea* value)
{
    if (!area)
        area = value;
    return this;
}

TORPDF* TORPDF::attachText(const TORPDFText* value)
{
    if (!text)
        text = value;
    return this;
}

TORPDF* TORPDF::attachPage(const TORPDFPage* value)
{
    if (!page)
        page = value;
    return this;
}

TORPDF* TORPDF::attachFile(const TORPDFFile* value)
{
    if (!file)
        file = value;
    return this;
}

void TORPDF::checkInitialized() const
{
    if (!initialized)
        raiseError(notInitialized);
}

void TORPDF::checkDocument() const
{
    if (!documentOpen)
        raiseError(noDocument);
}

void TORPDF::checkDocumentOrNoOutput() const
{
    if (!documentOpen && !noOutput)
        raiseError(noDocument);
}

void TORPDF::checkPdiDocument() const
{
    if (!pdiDocumentOpen)
        raiseError(noPdiDocument);
}

void TORPDF::checkPdiPage() const
{
    if (!pdiPageOpen)
        raiseError(noPage);
}

void TORPDF::checkPage() const
{
    if (!pageOpen)
        raiseError(noPage);
}

void TORPDF::rendererErrorHandler(PDF*, int errorType, const char* message)
{
    throw TORPDFException(errorType, message, -1);
}

bool TORPDF::initialize(const char* traceOption)
{
    if (initialized)
        return true;
    pdf = PDF_new2(rendererErrorHandler, nullptr, nullptr, nullptr, nullptr);
    if (!pdf)
        return false;
    initialized = true;
    setOption("hypertextencoding", "winansi");
    if (given(traceOption))
        debugFlags |= 1;
    if (debugFlags & 1)
        setOption("logging", given(traceOption) ? traceOption : "filename=pdflib_trace.txt");
    return initialized;
}

void TORPDF::terminate()
{
    closeDocument();
    if (initialized) {
        PDF* handle = pdf;
        pdf = nullptr;
        initialized = false;
        PDF_delete(handle);
    }
}

void TORPDF::abandon()
{
    if (initialized)
        PDF_delete(pdf);
    pdf = nullptr;
    initialized = false;
    noOutput = documentOpen = pdiDocumentOpen = pageOpen = pdiPageOpen = false;
    pdiDocumentHandle = pdiPageHandle = fontHandle = -1;
}

void TORPDF::setOption(const char* name, const char* value)
{
    if (!initialized || !given(name) || !value)
        return;
    // Built in a buffer that keeps its capacity: fonts send their registration
    // before every text.
    std::string& option = optionScratch;
    option.assign(name).append("={").append(value).append("}");
    if (!lastOptionUtf8 || option != lastOption) {
        lastOptionUtf8.reset(toUtf8Option(option.c_str()));
        lastOption = option;
    }
    PDF_set_option(pdf, lastOptionUtf8.get());
}

void TORPDF::setInfo(const char* key, const char* value)
{
    if (!initialized || !given(key) || !value)
        return;
    std::unique_ptr<char[]> converted(toUtf8Option(value));
    const char* utf8 = converted.get() + 3;
    PDF_set_info(pdf, key, std::strcmp(utf8, value) == 0 ? value : converted.get());
}

char* TORPDF::toUtf8Option(const char* text)
{
    // Every Shift-JIS byte becomes at most three bytes of UTF-8.
    size_t length = text ? std::strlen(text) : 0;
    size_t size = 3 * length + 32;
    char* buffer = new char[size]();
    std::memcpy(buffer, "\xEF\xBB\xBF", 3);
    if (text)
        TORConverter::sjisToUtf8(buffer + 3, size - 3, text);
    return buffer;
}

bool TORPDF::beginDocument(const char* outputName)
{
    checkInitialized();
    if (outputName && !*outputName) {
        noOutput = true;
        return true;
    }
    std::string list;
    if (file) {
        // Nothing is cut: a password cut short would be another password.
        bool fits = appendEntry(list, documentOptionSize, "compatibility", file->getCompatibility(), false);
        if (fits && given(file->getMasterPwd())) {
            fits = appendEntry(list, documentOptionSize, "masterpassword", file->getMasterPwd(), false) &&
                   appendEntry(list, documentOptionSize, "userpassword", file->getUserPwd(), false) &&
                   appendEntry(list, documentOptionSize, "permissions", file->getPermissions(), true);
        }
        if (!fits)
            raiseError(cannotCreateDocument);
    }
    if (PDF_begin_document(pdf, outputName ? outputName : "", 0, list.c_str()) == -1)
        raiseError(cannotCreateDocument);
    documentOpen = true;
    return true;
}

bool TORPDF::setSearchPath()
{
    checkInitialized();
    if (!file)
        return false;
    if (file->getPath())
        setOption("SearchPath", file->getPath());
    return true;
}

bool TORPDF::setDocumentInfo()
{
    checkInitialized();
    if (!file)
        return false;
    if (file->getCreator())
        setInfo("Creator", file->getCreator());
    if (file->getAuthor())
        setInfo("Author", file->getAuthor());
    if (file->getTitle())
        setInfo("Title", file->getTitle());
    return true;
}

void TORPDF::closeDocument()
{
    endPage();
    closePdiDocument();
    if (documentOpen) {
        documentOpen = false;
        PDF_end_document(pdf, "");
    }
    noOutput = false;
}

bool TORPDF::openPdiDocument(const char* name)
{
    checkInitialized();
    checkDocumentOrNoOutput();
    if (!name)
        raiseError(noPdiName);
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(name), error))
        throw TORPDFException(-1, messageRoom, pdiNotFound, name);
    int32_t handle = PDF_open_pdi_document(pdf, name, 0, "");
    if (handle == -1)
        throw TORPDFException(-1, messageRoom, pdiCannotOpen, name);
    pdiDocumentHandle = handle;
    pdiDocumentOpen = true;
    return true;
}

bool TORPDF::openPdiPage(uint16_t pageNumber)
{
    checkInitialized();
    checkDocumentOrNoOutput();
    checkPdiDocument();
    int32_t handle = PDF_open_pdi_page(pdf, pdiDocumentHandle, pageNumber, "");
    if (handle == -1)
        throw TORPDFException(-1, messageRoom, pdiPageCannotOpen, static_cast<int>(pageNumber));
    pdiPageHandle = handle;
    pdiPageOpen = true;
    return true;
}

bool TORPDF::fitPdiPage(double, double, const char* option)
{
    checkInitialized();
    checkDocument();
    checkPdiDocument();
    checkPdiPage();
    // Without options the page goes to the origin at its own size: a reference point
    // at the far corner of the page would place it outside.
    PDF_fit_pdi_page(pdf, pdiPageHandle, 0, 0, option ? option : "");
    return true;
}

bool TORPDF::processPdi(const char* optionList)
{
    checkInitialized();
    checkDocumentOrNoOutput();
    checkPdiDocument();
    if (!given(optionList))
        return true;
    if (PDF_process_pdi(pdf, pdiDocumentHandle, pdiPageHandle, optionList) == -1) {
        // The handle's address only tells handles apart; its low bits are enough.
        int handleNumber = static_cast<int>(reinterpret_cast<intptr_t>(pdf));
        throw TORPDFException(-1, messageRoom, pdiProcessFailed, handleNumber, pdiDocumentHandle,
                              pdiPageHandle, optionList);
    }
    return true;
}

void TORPDF::closePdiPage()
{
    if (pdiPageOpen) {
        pdiPageOpen = false;
        int32_t handle = pdiPageHandle;
        pdiPageHandle = -1;
        PDF_close_pdi_page(pdf, handle);
    }
}

void TORPDF::closePdiDocument()
{
    if (pdiDocumentOpen) {
        pdiDocumentOpen = false;
        int32_t handle = pdiDocumentHandle;
        pdiDocumentHandle = -1;
        PDF_close_pdi_document(pdf, handle);
    }
}

bool TORPDF::getPdiNumber(double& out, const char* path)
{
    checkInitialized();
    checkDocumentOrNoOutput();
    checkPdiDocument();
    if (!path)
        return false;
    // The path is data, never a format.
    out = PDF_pcos_get_number(pdf, pdiDocumentHandle, "%s", path);
    return true;
}

bool TORPDF::getPdiInteger(int32_t& out, const char* path)
{
    double number = 0;
    if (!getPdiNumber(number, path))
        return false;
    out = static_cast<int32_t>(number);
    return true;
}

bool TORPDF::getPdiString(char* buffer, size_t size, const char* path, int32_t& lengthOut)
{
    checkInitialized();
    checkDocumentOrNoOutput();
    checkPdiDocument();
    if (!noOutput)
        checkPdiPage();
    if (!path)
        return false;
    const char* found = PDF_pcos_get_string(pdf, pdiDocumentHandle, "%s", path);
    if (!found)
        return false;
    size_t length = std::strlen(found);
    lengthOut = static_cast<int32_t>(length);
    if (!buffer || size < length + 4)
        return false;
    std::memcpy(buffer, found, length);
    std::memset(buffer + length, 0, 4);
    return true;
}

bool TORPDF::beginPage(double width, double height)
{
    checkInitialized();
    checkDocument();
    if (pageOpen)
        endPage();
    PDF_begin_page_ext(pdf, width, height, "");
    pageOpen = true;
    return true;
}

void TORPDF::endPage()
{
    if (pageOpen) {
        pageOpen = false;
        PDF_end_page_ext(pdf, "");
    }
    closePdiPage();
}

bool TORPDF::renderFile(const TORPDFFile* document)
{
    beginFile(document);
    for (int32_t index = 0; index < document->getCount(); ++index) {
        if (auto* element = dynamic_cast<const TORPDFPage*>(document->get(index)))
            renderPage(element);
    }
    closeDocument();
    return true;
}

bool TORPDF::renderFile(const TORPDFFile* document, const std::function<const TORPDFPage*()>& nextPage)
{
    beginFile(document);
    while (const TORPDFPage* next = nextPage()) {
        renderPage(next);
        page = nullptr;  // the source lets the page go at the next call
    }
    closeDocument();
    return true;
}

void TORPDF::beginFile(const TORPDFFile* document)
{
    checkInitialized();
    if (!document)
        raiseError(badFile);
    if (document->getTrace())
        setOption("logging", (std::string("filename=") + document->getTrace()).c_str());
    file = document;
    setSearchPath();
    beginDocument(document->getPdfName());
    setDocumentInfo();
    if (document->getPdiName())
        openPdiDocument(document->getPdiName());
}

bool TORPDF::renderPage(const TORPDFPage* value)
{
    checkInitialized();
    checkDocument();
    if (!value)
        raiseError(badPage);
    page = value;
    if (value->getPdiPage() != 0) {
        if (pdiProcessPending) {
            pdiProcessPending = false;
            processPdi(value->getPdiProcess());
        }
        openPdiPage(value->getPdiPage());
    }
    beginPage(value->getWidth(), value->getHeight());
    if (pdiPageOpen)
        fitPdiPage(value->getWidth(), value->getHeight(), value->getPdiOption());
    for (int32_t index = 0; index < value->getCount(); ++index) {
        TORObject* element = value->get(index);
        if (auto* textObject = dynamic_cast<const TORPDFText*>(element))
            renderText(textObject);
        else if (auto* areaObject = dynamic_cast<const TORPDFArea*>(element))
            renderArea(areaObject);
        else if (auto* block = dynamic_cast<const TORPDFBlock*>(element))
            renderBlock(block);
    }
    endPage();
    return true;
}

#include "render/TORPDFlibPdi.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "render/TORPDFlib.h"
#include "render/TORPDFlibException.h"
#include "text/TORConverter.h"

namespace {

// pCOS type codes.
constexpr int32_t typeBoolean = 1, typeNumber = 2, typeName = 3, typeString = 4;
constexpr int32_t typeStream = 7, typeUndecodableStream = 8;

// UTF-8 from the engine to a new Shift-JIS text.
char* toShiftJis(const char* utf8)
{
    return TORConverter::utf8ToSjis(nullptr, 0, utf8, nullptr);
}

}  // namespace

TORPDFlibPdi::TORPDFlibPdi(const char* fileName, const char* password) : fileName(fileName)
{
    open(password);
}

TORPDFlibPdi::~TORPDFlibPdi()
{
    try {
        close();
    } catch (const TORPDFlibException&) {
        // A destructor must not throw; the error stays readable on the handle.
    }
}

PDF* TORPDFlibPdi::checkHandle()
{
    if (!fileName)
        throw TORPDFlibException(TORPDFlibException::noPdiName);
    return TORPDFlibObject::checkHandle();
}

void TORPDFlibPdi::open(const char* password)
{
    PDF* p = checkHandle();
    // The password is handed over in braces, so blanks in it survive.
    char options[160] = "";
    if (password && *password)
        std::snprintf(options, sizeof options, "password={%.128s}", password);
    document = PDF_open_pdi_document(p, fileName, 0, options);
    if (document == -1)
        throw TORPDFlibException(TORPDFlibException::openPdiFailed);
}

void TORPDFlibPdi::close()
{
    if (document == -1)
        return;
    int32_t closing = document;
    document = -1;
    if (currentPdflib && currentPdflib->getHandle())
        PDF_close_pdi_document(currentPdflib->getHandle(), closing);
}

int32_t TORPDFlibPdi::getType(const char* path)
{
    PDF* p = checkHandle();
    if (document == -1)
        throw TORPDFlibException(TORPDFlibException::pdiNotOpen);
    return static_cast<int32_t>(PDF_pcos_get_number(p, document, "type:%s", path));
}

char* TORPDFlibPdi::getString(const char* path)
{
    int32_t type = getType(path);
    if (type != typeBoolean && type != typeName && type != typeString)
        return nullptr;
    // The path goes through "%s" so that a "%" in a block name is not read as a format.
    const char* text = PDF_pcos_get_string(checkHandle(), document, "%s", path);
    return text ? toShiftJis(text) : nullptr;
}

double TORPDFlibPdi::getNumber(const char* path)
{
    if (std::strncmp(path, "length:", 7) != 0) {
        int32_t type = getType(path);
        if (type != typeBoolean && type != typeNumber)
            return 0.0;
    }
    return PDF_pcos_get_number(checkHandle(), document, "%s", path);
}

char* TORPDFlibPdi::getStream(int32_t* lengthOut, const char* path)
{
    int32_t type = getType(path);
    if (type != typeStream && type != typeUndecodableStream)
        return nullptr;
    int length = 0;
    const unsigned char* bytes = PDF_pcos_get_stream(checkHandle(), document, &length, "", "%s", path);
    if (!bytes)
        return nullptr;
    // The converter reads a terminated text; the stream's bytes are not terminated.
    std::string text(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length > 0 ? length : 0));
    char* converted = toShiftJis(text.c_str());
    // The length of what is returned, not of the stream: the two differ once
    // converted, and a caller reading the stream's length would overrun.
    if (lengthOut)
        *lengthOut = converted ? static_cast<int32_t>(std::strlen(converted)) : 0;
    return converted;
}

bool TORPDFlibPdi::getBoolean(const char* path)
{
    int32_t type = getType(path);
    if (type != typeBoolean && type != typeNumber)
        return false;
    return PDF_pcos_get_number(checkHandle(), document, "%s", path) != 0.0;
}

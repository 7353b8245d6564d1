// pCOS paths against two fixed documents, one plain and one encrypted, asked for
// through the C interface as a number, a text and a stream.
#include <cmath>
#include <cstring>

#include "fuzz/targets/FuzzFixtures.h"
#include "fuzz/targets/FuzzSupport.h"
#include "fuzz/targets/FuzzTargets.h"
#include "pdfengine/pdf_api.h"

namespace fuzztargets {

namespace {

// The handle and its two documents live as long as the process: the documents are
// the fixed part, only the paths change.
struct Documents {
    PDF* p = PDF_new();
    int plain = -1;
    int encrypted = -1;

    Documents()
    {
        const std::string plainPath = scratchPath("blocks.pdf");
        const std::string encryptedPath = scratchPath("blocks-encrypted.pdf");
        writeBlocksDocument(plainPath, false);
        writeBlocksDocument(encryptedPath, true);
        plain = PDF_open_pdi_document(p, plainPath.c_str(), 0, "");
        encrypted = PDF_open_pdi_document(p, encryptedPath.c_str(), 0, "password=user");
        expect(plain != -1 && encrypted != -1, "the fixed documents do not open");
    }
    ~Documents() { PDF_delete(p); }
};

}  // namespace

int pcosPath(const uint8_t* data, size_t size)
{
    static Documents documents;
    InputReader input(data, size);
    const int doc = input.byte() & 1 ? documents.encrypted : documents.plain;
    // The path is formatted by the interface; handing it over as an argument keeps
    // its % signs from being taken for conversions.
    const std::string path(input.rest());
    PDF* p = documents.p;

    const double number = PDF_pcos_get_number(p, doc, "%s", path.c_str());
    if (path.starts_with("type:"))
        expect(number == -1 || (number >= 0 && number <= 8 && number == std::floor(number)),
               "a type code out of range");
    else if (path.starts_with("length:"))
        expect(number == -1 || (number >= 0 && number == std::floor(number)), "a length that is no count");
    // A failure gives no text at all.
    if (const char* text = PDF_pcos_get_string(p, doc, "%s", path.c_str()))
        (void)std::strlen(text);
    int length = -1;
    const unsigned char* bytes = PDF_pcos_get_stream(p, doc, &length, "", "%s", path.c_str());
    expect(length >= 0 && (bytes != nullptr || length == 0), "a stream without its bytes");
    // Reading it all shows that it is as long as it says.
    unsigned sum = 0;
    for (int i = 0; i < length; ++i)
        sum += bytes[i];
    (void)sum;
    return 0;
}

}  // namespace fuzztargets

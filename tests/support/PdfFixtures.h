// Writers of the PDFs the import tests read: well-formed ones built with qpdf's
// object model, and hand-written ones whose cross-reference table is computed,
// so that a test can damage exactly one thing.
#pragma once

#include <string>
#include <vector>

#include "pdfengine/Qpdf.h"

namespace fixtures {

enum class Encryption { None, Rc4_40, Rc4_128, Aes128, Aes256 };

struct WriteOptions {
    Encryption encryption = Encryption::None;
    std::string userPassword;
    std::string ownerPassword = "owner";
};

// A PDF under construction. Pages are added in order; blocks go into the page's
// /PieceInfo /PDFlib /Private /Blocks dictionary.
class PdfBuilder {
public:
    PdfBuilder();

    QPDF& pdf() { return pdf_; }

    // PDF syntax as an object of this document ("<< /A 1 >>", "[0 0 10 10]").
    QPDFObjectHandle parse(const std::string& text);

    // A page with this media box, content and further entries (PDF dictionary
    // syntax without the brackets, e.g. "/Rotate 90 /CropBox [0 0 100 100]").
    QPDFObjectHandle addPage(const std::string& mediaBox = "[0 0 612 792]",
                             const std::string& content = "0 0 m 10 10 l S", const std::string& entries = "");

    // A block stored under the key with these bytes (a name's bytes, any encoding).
    void addBlock(QPDFObjectHandle page, const std::string& keyBytes, QPDFObjectHandle block);
    // A text block with /Type, /Subtype /Text, /Rect and the further entries.
    void addTextBlock(QPDFObjectHandle page, const std::string& keyBytes,
                      const std::string& rect = "[10 20 110 40]", const std::string& entries = "");

    // The header version write() gives the file ("2.0"); qpdf's choice when none.
    void setVersion(const std::string& version) { version_ = version; }

    void write(const std::string& path, const WriteOptions& options = {});

private:
    QPDF pdf_;
    std::string version_;
};

// A PDF file from the bodies of objects 1, 2, ... (without "n 0 obj"/"endobj")
// and the trailer's entries besides /Size, with a correct cross-reference
// table. Object 1 should be the catalog for "/Root 1 0 R" to work.
std::string rawPdf(const std::vector<std::string>& objects,
                   const std::string& trailerEntries = "/Root 1 0 R");

// The objects of a PDF file whose dictionary (a stream's for streams) has
// this name under key: countObjects(path, "/Subtype", "/Form").
int countObjects(const std::string& path, const std::string& key, const std::string& value);

// A UTF-16BE text string with its byte-order mark, from UTF-8.
std::string utf16be(const std::string& utf8);

// A PDF literal or hex string of these bytes, for parse().
std::string hexString(const std::string& bytes);

}  // namespace fixtures

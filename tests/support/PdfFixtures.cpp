#include "tests/support/PdfFixtures.h"

#include <cstdio>

namespace fixtures {

PdfBuilder::PdfBuilder()
{
    pdf_.emptyPDF();
}

QPDFObjectHandle PdfBuilder::parse(const std::string& text)
{
    return QPDFObjectHandle::parse(&pdf_, text);
}

QPDFObjectHandle PdfBuilder::addPage(const std::string& mediaBox, const std::string& content,
                                     const std::string& entries)
{
    QPDFObjectHandle page =
        parse("<< /Type /Page /MediaBox " + mediaBox + " /Resources << >> " + entries + " >>");
    page.replaceKey("/Contents", pdf_.newStream(content));
    page = pdf_.makeIndirectObject(page);
    QPDFPageDocumentHelper(pdf_).addPage(QPDFPageObjectHelper(page), false);
    return page;
}

void PdfBuilder::addBlock(QPDFObjectHandle page, const std::string& keyBytes, QPDFObjectHandle block)
{
    QPDFObjectHandle node = page;
    for (const char* key : {"/PieceInfo", "/PDFlib", "/Private", "/Blocks"}) {
        if (!node.getKey(key).isDictionary())
            node.replaceKey(key, QPDFObjectHandle::newDictionary());
        node = node.getKey(key);
    }
    node.replaceKey("/" + keyBytes, block);
}

void PdfBuilder::addTextBlock(QPDFObjectHandle page, const std::string& keyBytes, const std::string& rect,
                              const std::string& entries)
{
    addBlock(page, keyBytes, parse("<< /Type /Block /Subtype /Text /Rect " + rect + " " + entries + " >>"));
}

void PdfBuilder::write(const std::string& path, const WriteOptions& options)
{
    QPDFWriter writer(pdf_, path.c_str());
    writer.setStaticID(true);
    if (!version_.empty())
        writer.forcePDFVersion(version_);
    const char* user = options.userPassword.c_str();
    const char* owner = options.ownerPassword.c_str();
    switch (options.encryption) {
        case Encryption::None:
            break;
        case Encryption::Rc4_40:
            writer.setR2EncryptionParametersInsecure(user, owner, true, true, true, true);
            break;
        case Encryption::Rc4_128:
            writer.setR3EncryptionParametersInsecure(user, owner, true, true, true, true, true, true,
                                                     qpdf_r3p_full);
            break;
        case Encryption::Aes128:
            writer.setR4EncryptionParametersInsecure(user, owner, true, true, true, true, true, true,
                                                     qpdf_r3p_full, true, true);
            break;
        case Encryption::Aes256:
            writer.setR6EncryptionParameters(user, owner, true, true, true, true, true, true, qpdf_r3p_full,
                                             true);
            break;
    }
    writer.write();
}

std::string rawPdf(const std::vector<std::string>& objects, const std::string& trailerEntries)
{
    std::string pdf = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " " + trailerEntries +
           " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

int countObjects(const std::string& path, const std::string& key, const std::string& value)
{
    QPDF pdf;
    pdf.processFile(path.c_str());
    int count = 0;
    for (QPDFObjectHandle o : pdf.getAllObjects()) {
        QPDFObjectHandle dict = o.isStream() ? o.getDict() : o;
        if (dict.isDictionary() && dict.getKey(key).isName() && dict.getKey(key).getName() == value)
            ++count;
    }
    return count;
}

std::string utf16be(const std::string& utf8)
{
    return "\xFE\xFF" + QUtil::utf8_to_utf16(utf8).substr(2);
}

std::string hexString(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "<";
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text + ">";
}

}  // namespace fixtures

#include "fuzz/targets/FuzzFixtures.h"

#include "tests/support/PdfFixtures.h"

namespace fuzztargets {

void writeBlocksDocument(const std::string& path, bool encrypted)
{
    fixtures::PdfBuilder builder;
    QPDF& pdf = builder.pdf();
    QPDFObjectHandle first = builder.addPage("[0 0 595 842]", "0 0 m 100 100 l S");
    builder.addTextBlock(first, "customer", "[56 700 356 724]",
                         "/Name (customer) /fontname /HeiseiKakuGo-W5 /fontsize 12 /fillcolor [0 0 0.4] "
                         "/position [/left /center] /fitmethod /auto /margin 2");
    // 住所, named by a UTF-16 /Name and keyed by its UTF-8 bytes.
    builder.addTextBlock(first, "\xE4\xBD\x8F\xE6\x89\x80", "[56 650 556 690]",
                         "/Name " + fixtures::hexString(fixtures::utf16be("\xE4\xBD\x8F\xE6\x89\x80")) +
                             " /textflow true /bordercolor [/DeviceGray 0.5] /linewidth 0.5");
    // ブロック as a Shift-JIS key without /Name.
    builder.addTextBlock(first,
                         "\x83u\x83\x8D\x83"
                         "b\x83N",
                         "[10 10 20 20]", "/margin [1 2] /rotate 90");
    builder.addBlock(
        first, "logo",
        builder.parse("<< /Type /Block /Subtype /Image /Rect [450 760 540 820] /fitmethod (meet) "
                      "/position [50 50] /defaultimage (logo.png) >>"));
    builder.addTextBlock(first, "empty", "[0 0 1 1]", "/Name () /fillcolor [2 0 0]");

    QPDFObjectHandle second =
        builder.addPage("[0 0 200 100]", "q 1 0 0 rg 0 0 50 50 re f Q", "/Rotate 90 /CropBox [10 10 150 90]");
    builder.addBlock(
        second, "a#2Fb",
        builder.parse("<< /Type /Block /Subtype /PDF /Rect [1 1 2 2] /strokecolor [0 0 0 1] >>"));

    QPDFObjectHandle image = pdf.newStream("\xFF\xD8\xFF\xD9");
    image.replaceDict(
        builder.parse("<< /Type /XObject /Subtype /Image /Width 1 /Height 1 /BitsPerComponent 8 "
                      "/ColorSpace /DeviceGray /Filter /DCTDecode >>"));
    second.getKey("/Resources").replaceKey("/XObject", builder.parse("<< /Im1 null >>"));
    second.getKey("/Resources").getKey("/XObject").replaceKey("/Im1", pdf.makeIndirectObject(image));
    pdf.getRoot().getKey("/Pages").replaceKey("/Resources", builder.parse("<< /ProcSet [/PDF /Text] >>"));

    QPDFObjectHandle info = pdf.makeIndirectObject(builder.parse(
        "<< /Title " + fixtures::hexString(fixtures::utf16be("Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC")) +
        " /Author (A\\(u\\)thor) /Trapped /False /Count 3.5 /List [1 [2 (x)] << /K true >>] >>"));
    pdf.getTrailer().replaceKey("/Info", info);

    fixtures::WriteOptions options;
    if (encrypted) {
        options.encryption = fixtures::Encryption::Rc4_128;
        options.userPassword = "user";
    }
    builder.write(path, options);
}

}  // namespace fuzztargets

#include "tools/quillon-blocks/BlockWriter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "pdfengine/BlockReader.h"
#include "pdfengine/Document.h"
#include "pdfengine/EngineError.h"
#include "pdfengine/NumberFormat.h"
#include "pdfengine/OutputFile.h"
#include "pdfengine/PageGeometry.h"
#include "pdfengine/PageTree.h"
#include "tools/quillon-blocks/ShiftJis.h"

namespace quillonblocks {

namespace {

using pdfengine::PdfRect;

// A point given from the top left corner of the page as displayed, in the
// page's user space: undoes the turn of /Rotate (clockwise on display).
std::pair<double, double> userPoint(const pdfengine::PageGeometry& page, double fromLeft, double fromTop)
{
    const PdfRect& b = page.crop;
    const double X = fromLeft, Y = page.displayHeight(pdfengine::PageBox::Crop) - fromTop;
    switch (page.rotate) {
        case 90:
            return {b.urx - Y, b.lly + X};
        case 180:
            return {b.urx - X, b.ury - Y};
        case 270:
            return {b.llx + Y, b.ury - X};
        default:
            return {b.llx + X, b.lly + Y};
    }
}

// The dictionary under key, copied so that a dictionary shared with other
// pages stays as it was; a new one when there is none.
QPDFObjectHandle ownDictionary(QPDFObjectHandle parent, const char* key)
{
    QPDFObjectHandle child = parent.getKey(key);
    child = child.isDictionary() ? child.shallowCopy() : QPDFObjectHandle::newDictionary();
    parent.replaceKey(key, child);
    return child;
}

// Points as tenths of a millimetre, to one decimal.
double tenths(double points)
{
    return std::round(points * 3.528 * 10) / 10;
}

std::string sectionOf(const std::string& iniName, const BlockRequest& block)
{
    return iniName + " [" + block.section + "]: ";
}

}  // namespace

void BlockWriter::write(const std::string& input, const std::string& iniName,
                        const std::vector<BlockRequest>& blocks, const std::string& output)
{
    std::error_code ec;
    if (std::filesystem::equivalent(input, output, ec))
        throw std::runtime_error("The output file '" + output + "' is the input file; write to another file");

    if (FILE* file = std::fopen(input.c_str(), "rb"))
        std::fclose(file);
    else
        throw std::runtime_error("Cannot read the PDF file '" + input + "' (" +
                                 pdfengine::systemMessage(errno) + ")");
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    try {
        pdf.processFile(input.c_str());
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password)
            throw std::runtime_error("The PDF file '" + input + "' needs a password");
        throw std::runtime_error("Cannot read the PDF file '" + input + "' (" + e.getMessageDetail() + ")");
    } catch (const std::exception& e) {
        throw std::runtime_error("Cannot read the PDF file '" + input + "' (" + e.what() + ")");
    }
    std::vector<pdfengine::PageNode> pages;
    try {
        pages = pdfengine::PageTree::walk(pdf, input);
    } catch (const std::exception& e) {
        throw std::runtime_error(e.what());
    }

    // Names are compared as the engine finds blocks: by their UTF-8 text.
    std::map<std::pair<int, std::string>, const BlockRequest*> names;
    for (const BlockRequest& block : blocks) {
        auto [it, added] = names.try_emplace({block.page, block.name}, &block);
        if (!added)
            throw std::runtime_error(sectionOf(iniName, block) + "page " + std::to_string(block.page) +
                                     " already has a block of this name, from [" + it->second->section + "]");
    }

    const std::string date = pdfengine::pdfDate(false);
    pdfengine::BlockReader reader([](std::string_view bytes) { return shiftJisToUtf8(bytes); });
    for (const BlockRequest& block : blocks) {
        const std::string where = sectionOf(iniName, block);
        if (block.page > static_cast<int>(pages.size()))
            throw std::runtime_error(where + "page " + std::to_string(block.page) + " does not exist ('" +
                                     input + "' has " + std::to_string(pages.size()) + ")");
        const pdfengine::PageNode& node = pages[static_cast<size_t>(block.page - 1)];
        pdfengine::PageGeometry geometry;
        try {
            geometry = pdfengine::PageGeometry::of(
                node, "page " + std::to_string(block.page) + " of '" + input + "'");
        } catch (const std::exception& e) {
            throw std::runtime_error(where + e.what());
        }
        const double pageWidth = geometry.displayWidth(pdfengine::PageBox::Crop);
        const double pageHeight = geometry.displayHeight(pdfengine::PageBox::Crop);
        const double left = tenthsToPoints(block.x), top = tenthsToPoints(block.y);
        double right = tenthsToPoints(block.x + block.width), bottom = tenthsToPoints(block.y + block.height);
        // Page sizes in tenths of a millimetre are rounded (2102 x 2975 for
        // 595.8 x 843.25 points): a block that passes the edge by less than a
        // hundredth of a point ends at the edge.
        constexpr double slack = 0.01;
        if (right > pageWidth + slack || bottom > pageHeight + slack)
            throw std::runtime_error(
                where + "the rectangle (x " + pdfengine::formatG(block.x) + ", y " +
                pdfengine::formatG(block.y) + ", width " + pdfengine::formatG(block.width) + ", height " +
                pdfengine::formatG(block.height) + ") reaches beyond page " + std::to_string(block.page) +
                " (" + pdfengine::formatG(tenths(pageWidth)) + " x " +
                pdfengine::formatG(tenths(pageHeight)) + " tenths of a millimetre)");
        right = std::min(right, pageWidth);
        bottom = std::min(bottom, pageHeight);
        const auto [x1, y1] = userPoint(geometry, left, top);
        const auto [x2, y2] = userPoint(geometry, right, bottom);
        const PdfRect rect = PdfRect::fromCorners(x1, y1, x2, y2);

        QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
        dict.replaceKey("/Type", QPDFObjectHandle::newName("/Block"));
        dict.replaceKey("/Name", QPDFObjectHandle::newString(QUtil::utf8_to_utf16(block.name)));
        dict.replaceKey("/Subtype", QPDFObjectHandle::newName(block.subtype));
        auto rectArray = QPDFObjectHandle::newArray();
        for (double v : {rect.llx, rect.lly, rect.urx, rect.ury})
            rectArray.appendItem(QPDFObjectHandle::newReal(v, 4, true));
        dict.replaceKey("/Rect", rectArray);
        for (const auto& [key, value] : block.properties)
            dict.replaceKey(key, value);

        QPDFObjectHandle page = node.dict;
        QPDFObjectHandle pieceInfo = ownDictionary(page, "/PieceInfo");
        QPDFObjectHandle data = ownDictionary(pieceInfo, "/PDFlib");
        QPDFObjectHandle privateData = ownDictionary(data, "/Private");
        QPDFObjectHandle blockDicts = ownDictionary(privateData, "/Blocks");
        // A block of the same name replaces the one the page had, whatever its key.
        for (const pdfengine::BlockDefinition& existing : reader.read(page))
            if (existing.name == block.name)
                blockDicts.removeKey("/" + existing.key);
        blockDicts.replaceKey("/" + block.name, dict);
        data.replaceKey("/LastModified", QPDFObjectHandle::newString(date));
        page.replaceKey("/LastModified", QPDFObjectHandle::newString(date));
    }

    try {
        pdfengine::OutputFile::checkTarget(output);
        pdfengine::OutputFile file(output, pdfengine::OutputFault::None);
        QPDFWriter writer(pdf);
        writer.setOutputPipeline(&file.pipeline());
        writer.write();
        file.commit();
    } catch (const std::exception& e) {
        throw std::runtime_error(e.what());
    }
}

}  // namespace quillonblocks

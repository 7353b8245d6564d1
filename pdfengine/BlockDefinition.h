// One block of an imported page as its definition stores it: a named rectangle
// in the page's user space with the properties that say how to fill it.
// pdfengine/README.md describes the stored format.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "pdfengine/FitKeywords.h"
#include "pdfengine/PdfRect.h"
#include "pdfengine/Qpdf.h"

namespace pdfengine {

enum class BlockType { Text, Image, Pdf, Other };

struct BlockColor {
    enum class Space { Gray, Rgb, Cmyk };
    Space space = Space::Gray;
    std::vector<double> components;  // 1, 3 or 4 values from 0 to 1
    bool operator==(const BlockColor&) const = default;
};

struct BlockDefinition {
    // The block's name in UTF-8: its /Name entry when it has one, else its key in
    // the /Blocks dictionary. Empty when /Name is an empty string.
    std::string name;
    // The key in the /Blocks dictionary, as the name's bytes.
    std::string key;
    BlockType type = BlockType::Other;
    std::string subtype;  // as stored, for messages about blocks of other types
    std::optional<PdfRect> rect;

    std::optional<std::string> fontName;
    std::optional<double> fontSize;
    std::optional<BlockColor> fillColor;
    std::optional<BlockColor> strokeColor;
    std::optional<BlockColor> bgColor;
    std::optional<BlockColor> borderColor;
    std::optional<std::array<double, 2>> position;  // percent, h and v
    std::optional<FitMethod> fitMethod;
    std::optional<std::array<double, 2>> margin;  // horizontal, vertical
    std::optional<double> charSpacing;
    std::optional<double> wordSpacing;
    std::optional<double> horizScaling;  // percent
    std::optional<double> lineWidth;
    std::optional<double> rotate;  // degrees, counter-clockwise
    std::optional<bool> textFlow;
    std::optional<std::string> defaultText;
    std::optional<std::string> defaultImage;

    // Properties that were present but could not be read, one message each
    // ("fontsize: not a number"); the block is usable without them.
    std::vector<std::string> problems;

    // The block dictionary itself, for queries of entries not read above.
    QPDFObjectHandle dict;
};

}  // namespace pdfengine

// Fills the blocks of an imported page on the current output page: a text into
// a text block, an image into an image block, each where the block appears,
// that is where the last PDF_fit_pdi_page of that page handle put the page on
// this output page (its scale, position, rotation and /Rotate included).
//
// Properties come from the block's definition; the call's options override
// them. Failures that concern the block (none of that name, another type, no
// area, no font, no image) are recoverable EngineErrors, which the C functions
// turn into a non-fatal -1; mistakes in the option list stay fatal.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "pdfengine/BlockDefinition.h"
#include "pdfengine/Color.h"
#include "pdfengine/OptionList.h"
#include "pdfengine/Qpdf.h"

#include <qpdf/QPDFMatrix.hh>

namespace pdfengine {

class Engine;
class Page;

// A block's rectangle as a space of its own, [0 width] x [0 height], turned by
// the block's rotation about its centre (a quarter turn swaps width and height,
// so that the turned box covers the rectangle), and mapped to the output page.
struct BlockFrame {
    QPDFMatrix toPage;
    double width = 0;
    double height = 0;

    static BlockFrame of(const PdfRect& rect, double rotate, const QPDFMatrix& placement);
};

class BlockFiller {
public:
    explicit BlockFiller(Engine& engine);

    // `length` 0: the option textlen, else up to the first NUL. Returns 1.
    int fillText(int page, std::string_view name, const char* text, int length, std::string_view optlist);
    // `image` -1: the block's defaultimage when it has one. Returns 1.
    int fillImage(int page, std::string_view name, int image, std::string_view optlist);

private:
    // What text and image blocks share, from the block and the options.
    struct Look {
        std::array<double, 2> position{0, 50};
        FitMethod fitMethod = FitMethod::Auto;
        std::array<double, 2> margin{0, 0};
        double rotate = 0;
        std::optional<Color> background;
        std::optional<Color> border;
        double lineWidth = 1;
    };

    // The block of that name on the page, of the wanted type, with a usable
    // rectangle; notes the properties that could not be read.
    const BlockDefinition& find(int page, std::string_view name, BlockType wanted);
    Look look(const BlockDefinition& block, const OptionList& options, Look defaults);
    // A number of the block definition within [low, options::blockLimit];
    // beyond it, nothing and a note.
    std::optional<double> bounded(const std::optional<double>& value, const char* property, double low = 0);
    // The frame of the block on the current page; the page's own space when
    // the imported page was not placed on it.
    BlockFrame frame(const BlockDefinition& block, int page, double rotate);
    // Background before, border after `body`, all inside q ... Q in the frame.
    template <typename Body>
    void draw(const BlockFrame& frame, const Look& look, Body&& body);
    int loadFont(const BlockDefinition& block, const OptionList& options);
    // The text to show: the argument, else the default text with a UTF-8 mark.
    std::string textOf(const BlockDefinition& block, const OptionList& options, const char* text, int length);

    // Option lists as they were parsed for a table: a form fills the same
    // blocks with the same lists page after page. Lists that do not parse
    // are not kept, so they fail every time.
    class ParsedLists {
    public:
        explicit ParsedLists(const OptionTable& table) : table_(table) {}
        const OptionList& get(std::string_view optlist);

    private:
        struct Hash {
            using is_transparent = void;
            size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
        };
        const OptionTable& table_;
        std::unordered_map<std::string, OptionList, Hash, std::equal_to<>> lists_;
    };

    // "block 'x' on page 1 of PDF file 'y.pdf'": the block found last, for
    // notes and messages, which most fills never need.
    std::string describedBlock() const;

    Engine& engine_;
    ParsedLists textLists_;
    ParsedLists imageLists_;
    const BlockDefinition* foundBlock_ = nullptr;
    int foundPage_ = -1;
};

}  // namespace pdfengine

// The appearance streams of form fields: what a field looks like before a
// viewer touches it, so that every reader and printer shows the value without
// regenerating anything. Content is built here; FormFields wraps it into form
// XObjects of the widget's size.
#pragma once

#include <optional>
#include <string>

#include "pdfengine/Color.h"
#include "pdfengine/GlyphRun.h"

namespace pdfengine {

enum class FieldAlignment { Left, Center, Right };  // the order of options::fieldAlignments
enum class ButtonStyle { Check, Circle, Cross, Diamond, Square, Star };  // options::buttonStyles

// The frame of a widget: its background and border, both optional.
struct FieldFrame {
    double width = 0;
    double height = 0;
    std::optional<Color> border;
    std::optional<Color> background;
    bool round = false;  // radio buttons: a circle inside the rectangle
};

// The width of the border line, and the space between it and the text.
inline constexpr double kFieldBorderWidth = 1;
inline constexpr double kFieldPadding = 2;

struct TextLook {
    FieldFrame frame;
    std::string fontResource;  // the font's name in the appearance's resources
    int ascender = 800;        // of the font, 1/1000 em
    int descender = -200;
    double fontSize = 0;  // 0: the largest that fits, at most kAutoFontSizeLimit
    Color color;
    FieldAlignment alignment = FieldAlignment::Left;
    bool multiline = false;
};

// Auto-sized text grows no larger than this.
inline constexpr double kAutoFontSizeLimit = 12;
// Nor smaller than this (text that does not fit is clipped).
inline constexpr double kAutoFontSizeMin = 4;

class FieldAppearance {
public:
    // The normal appearance of a text field showing `run`; `usedSize`
    // receives the font size it was laid out at.
    static std::string text(const TextLook& look, const GlyphRun& run, double& usedSize);

    // A check box or radio button: its frame, and the symbol when it is on.
    // `down` is the look while the mouse button is pressed (darker).
    static std::string button(const FieldFrame& frame, ButtonStyle style, const Color& color, bool on,
                              bool down);

    // The ZapfDingbats character viewers draw for a style (/MK /CA).
    static char caption(ButtonStyle style);
};

}  // namespace pdfengine

// The text state of a page: the font and size PDF_setfont chose and the values of
// PDF_set_text_option. Like PDF's own text state it is part of the graphics state,
// so PDF_save and PDF_restore keep and bring it back.
#pragma once

namespace pdfengine {

struct TextState {
    int font = -1;  // font handle; -1: none set
    double fontSize = 0;
    double charSpacing = 0;     // points after every glyph
    double wordSpacing = 0;     // points after every space
    double horizScaling = 100;  // percent
    double leading = 0;
    double rise = 0;
    int rendering = 0;  // 0 fill, 1 stroke, 2 fill and stroke, 3 invisible, 4-7 the same and clip

    bool operator==(const TextState&) const = default;
};

// What a page's graphics state holds of text: the state the calls asked for, the
// state the content stream has (operators are written only when text is shown,
// and only those that differ) and the text position.
struct PageText {
    TextState wanted;
    TextState written;
    double x = 0;
    double y = 0;
};

}  // namespace pdfengine

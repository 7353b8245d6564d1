// The text calls of the API on the engine's state: loading fonts, the text state
// of the page, and showing, measuring and fitting lines of text. The C functions
// of api_text.cpp call one method each.
#pragma once

#include <string_view>

#include "pdfengine/GlyphRun.h"

namespace pdfengine {

class Engine;
class LoadedFont;
struct TextState;

class Typesetter {
public:
    explicit Typesetter(Engine& engine) : engine_(engine) {}

    int loadFont(std::string_view name, std::string_view encoding, std::string_view optlist);
    void setFont(int font, double size);
    void setTextOptions(std::string_view optlist);
    void setTextPosition(double x, double y);
    // Shows the text at the text position, which then moves to its end.
    void show(std::string_view text);
    // The width the text would have in the font and size, with the page's
    // spacings and scaling (the defaults outside a page).
    double stringWidth(std::string_view text, int font, double size);
    // `length` 0: the option textlen, else up to the first NUL.
    void fitTextLine(const char* text, int length, double x, double y, std::string_view optlist);

private:
    // The current font of a state; a runtime error when none is set.
    LoadedFont& fontOf(const TextState& state);
    GlyphRun map(LoadedFont& font, std::string_view text);
    // Records what the font lacked for the call's trace line.
    void noteMissing(const LoadedFont& font, const GlyphRun& run);

    Engine& engine_;
};

}  // namespace pdfengine

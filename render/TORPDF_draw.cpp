// The renderer's drawing: lines and rectangles with their line types, texts in their
// fonts, and the conversion of Shift-JIS text for the wide encodings.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/cp932.h"
#include "render/TORPDF.h"

namespace {

// エリアオブジェクトが不正です
const char badArea[] =
    "\x83G\x83\x8A\x83"
    "A\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";
// テキストオブジェクトが不正です
const char badText[] =
    "\x83"
    "e\x83L\x83X\x83g\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";

// Option lists of the drawing calls are short: numbers and keywords.
constexpr size_t optionSize = 256;

// Builds the option list of a drawing call in place, numbers as "%d" and "%.2f"
// print them; what does not fit is cut off. Drawing sets several options per
// object, and the formatted-print machinery showed in profiles.
class OptionText {
public:
    OptionText& text(std::string_view part)
    {
        size_t room = optionSize - 1 - length_;
        size_t count = part.size() < room ? part.size() : room;
        std::memcpy(buffer_ + length_, part.data(), count);
        length_ += count;
        buffer_[length_] = '\0';
        return *this;
    }

    OptionText& integer(int value)
    {
        char digits[16];
        auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        return text(std::string_view(digits, static_cast<size_t>(end - digits)));
    }

    // Two decimals, correctly rounded as printf rounds them.
    OptionText& fixed(double value)
    {
        // Room for the largest double written out in full.
        char digits[400];
        auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 2);
        return text(std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
    }

    const char* c_str() const { return buffer_; }

private:
    char buffer_[optionSize] = "";
    size_t length_ = 0;
};

// The most UTF-16 units a text is converted to, and the most that are kept.
constexpr size_t convertedUnits = 4096;
constexpr size_t keptUnits = 2048;

// Each group of four hexadecimal digits is one glyph number, written low byte first.
// A group cut short by the end of the text, or holding another character, ends it.
int32_t convertGlyphIds(char* out, size_t size, const char* string)
{
    size_t groups = 0;
    for (const char* group = string; groups < convertedUnits && 2 * groups + 2 <= size; group += 4) {
        // The terminator is no digit, so no group is read past the end of the text.
        for (int k = 0; k < 4; ++k) {
            if (!std::isxdigit(static_cast<unsigned char>(group[k])))
                return static_cast<int32_t>(2 * groups);
        }
        unsigned value = 0;
        std::from_chars(group, group + 4, value, 16);
        out[2 * groups] = static_cast<char>(value & 0xFF);
        out[2 * groups + 1] = static_cast<char>(value >> 8);
        ++groups;
    }
    return static_cast<int32_t>(2 * groups);
}

int32_t convertUtf16(char* out, size_t size, const char* string, const char* encoding)
{
    char16_t units[convertedUnits];
    // The usual text fits with its terminator, and only what was written is read.
    int decoded = platform::cp932MultiByteToWideChar(platform::mbPrecomposed, string, -1, units,
                                                     static_cast<int>(convertedUnits));
    if (decoded <= 0) {
        // A text longer than the buffer still leaves the units that fit, up to the
        // first that was not written.
        std::fill(std::begin(units), std::end(units), u'\0');
        platform::cp932MultiByteToWideChar(platform::mbPrecomposed, string, -1, units,
                                           static_cast<int>(convertedUnits));
        decoded = static_cast<int>(convertedUnits);
    }
    size_t count = 0;
    while (count < keptUnits && count < static_cast<size_t>(decoded) && units[count] != 0)
        ++count;

    bool bigEndian = std::strcmp(encoding, "UniJIS-UCS2-HW-H") == 0;
    size_t written = 0;
    if (std::strcmp(encoding, "UniJIS-UCS2-H") == 0) {
        if (size < 2)
            return 0;
        out[0] = '\xFF';
        out[1] = '\xFE';
        written = 2;
    }
    for (size_t i = 0; i < count && written + 2 <= size; ++i, written += 2) {
        char low = static_cast<char>(units[i] & 0xFF);
        char high = static_cast<char>(units[i] >> 8);
        out[written] = bigEndian ? high : low;
        out[written + 1] = bigEndian ? low : high;
    }
    return static_cast<int32_t>(written);
}

}  // namespace

void TORPDF::setColor(const char* fstype, uint32_t color)
{
    PDF_setcolor(pdf, fstype, "rgb", ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                 (color & 0xFF) / 255.0, 0);
}

bool TORPDF::renderArea(const TORPDFArea* value)
{
    checkInitialized();
    checkDocument();
    checkPage();
    if (!value)
        raiseError(badArea);
    area = value;
    if (value->getLineType())
        applyLineType(value->getLineType());
    if (value->getKind() & 0x01)
        drawLine(value->getPoint(0), value->getPoint(1));
    else if (value->getKind() & 0x02)
        drawRect(value->getPoint(0), value->getPoint(1));
    return true;
}

bool TORPDF::applyLineType(const TORPDFLineType* lineType)
{
    if (!lineType)
        return false;
    if (lineType->getWidth() > 0)
        PDF_setlinewidth(pdf, lineType->getWidth());
    PDF_set_graphics_option(pdf, OptionText().text("linecap=").integer(lineType->getCap()).c_str());
    PDF_set_graphics_option(pdf, OptionText().text("linejoin=").integer(lineType->getJoin()).c_str());
    double black = 0, white = 0;
    lineType->getDash(black, white);
    // A line type without a dash draws solid lines: the dash of an earlier line must
    // not carry over to it.
    OptionText dash;
    dash.text("dasharray={");
    if (black > 0 && white > 0)
        dash.fixed(black).text(" ").fixed(white);
    PDF_set_graphics_option(pdf, dash.text("}").c_str());
    if (lineType->getMiter() >= 1.0)
        PDF_set_graphics_option(pdf, OptionText().text("miterlimit=").fixed(lineType->getMiter()).c_str());
    setColor("stroke", lineType->getColor());
    return true;
}

bool TORPDF::drawLine(const TORPDFPoint* from, const TORPDFPoint* to)
{
    if (!from || !to)
        return false;
    PDF_moveto(pdf, from->getX(), from->getY());
    PDF_lineto(pdf, to->getX(), to->getY());
    PDF_stroke(pdf);
    return true;
}

bool TORPDF::drawRect(const TORPDFPoint* corner, const TORPDFPoint* opposite)
{
    if (!corner || !opposite)
        return false;
    uint32_t bgcolor = area ? area->getBgColor() : 0;
    if (bgcolor != 0)
        setColor("fill", bgcolor);
    PDF_rect(pdf, corner->getX(), corner->getY(), opposite->getX() - corner->getX(),
             opposite->getY() - corner->getY());
    if (bgcolor != 0)
        PDF_fill_stroke(pdf);
    else
        PDF_stroke(pdf);
    return true;
}

bool TORPDF::renderText(const TORPDFText* value)
{
    checkInitialized();
    checkDocument();
    checkPage();
    if (!value)
        raiseError(badText);
    text = value;
    if (value->getPoint(true))
        moveTextTo(value->getPoint(true));
    if (value->getFont())
        applyFont(value->getFont());
    if (value->getText())
        showText(value->getText(), value->getAlign());
    return true;
}

bool TORPDF::moveTextTo(const TORPDFPoint* point)
{
    if (!point)
        return false;
    PDF_set_text_pos(pdf, point->getX(), point->getY());
    return true;
}

bool TORPDF::applyFont(const TORPDFFont* font)
{
    if (!font)
        return false;
    const char* face = font->getFace() ? font->getFace() : "";
    if (font->getFile()) {
        // A registration that does not fit is not cut short (that would name another
        // file): the font then fails to load and the engine reports it.
        std::string& outline = outlineScratch;
        outline.assign(face).append("=").append(font->getFile());
        if (outline.size() < fontOutlineSize)
            setOption("FontOutline", outline.c_str());
    }
    fontHandle = PDF_load_font(pdf, face, 0, font->getEncoding() ? font->getEncoding() : "",
                               font->getOption() ? font->getOption() : "");
    PDF_setfont(pdf, fontHandle, font->getSize());
    // The engine fills text with the fill colour: the font's colour must be that too,
    // or a text would take the colour of the last filled rectangle.
    setColor("fillstroke", font->getColor());
    return true;
}

bool TORPDF::showText(const char* string, uint16_t align)
{
    if (!string)
        return false;
    PDF_save(pdf);
    if (text && text->getCharSpacing() >= 0)
        PDF_set_text_option(pdf, OptionText().text("charspacing=").fixed(text->getCharSpacing()).c_str());
    if (text && text->getWordSpacing() >= 0)
        PDF_set_text_option(pdf, OptionText().text("wordspacing=").fixed(text->getWordSpacing()).c_str());

    // Positions in the box are percentages from its lower-left corner, so the top is
    // 100 and the bottom 0.
    int horizontal = (align & TORPDFText::alignLeft) ? 0 : (align & TORPDFText::alignRight) ? 100 : 50;
    int vertical = (align & TORPDFText::alignTop) ? 100 : (align & TORPDFText::alignBottom) ? 0 : 50;

    const TORPDFFont* font = text ? text->getFont() : nullptr;
    const TORPDFPoint* position = text ? text->getPoint(true) : nullptr;
    const TORPDFPoint* box = text ? text->getPoint(false) : nullptr;
    // Fitting needs a reference point and a box; without them the text is shown plainly.
    bool fit = (align & TORPDFText::fitInBox) && position && box;
    char option[optionSize];
    char margin[64] = "";
    if (fit && (align & 0x55))
        std::snprintf(margin, sizeof margin, " margin={%.2f}", text ? text->getMargin() : 3.0);

    if (font && isWideEncoding(font->getEncoding())) {
        char bytes[wideTextSize];
        int32_t length = convertText(bytes, sizeof bytes, string, font->getEncoding());
        if (fit) {
            std::snprintf(option, sizeof option, "position={%d %d} boxsize={%.2f %.2f} fitmethod=auto%s",
                          horizontal, vertical, box->getX(), box->getY(), margin);
            PDF_fit_textline(pdf, bytes, length, position->getX(), position->getY(), option);
        } else {
            PDF_show2(pdf, bytes, length);
        }
    } else if (fit) {
        std::snprintf(option, sizeof option, "position {%d %d} boxsize {%.2f %.2f} fitmethod=auto%s",
                      horizontal, vertical, box->getX(), box->getY(), margin);
        PDF_fit_textline(pdf, string, 0, position->getX(), position->getY(), option);
    } else {
        // Centring and right alignment need the reference point and the font's size.
        if ((align & (TORPDFText::alignCenter | TORPDFText::alignRight)) && position && font) {
            double width = PDF_stringwidth(pdf, string, fontHandle, font->getSize());
            if (align & TORPDFText::alignCenter)
                width /= 2;
            PDF_set_text_pos(pdf, position->getX() - width, position->getY());
        }
        PDF_show(pdf, string);
    }
    PDF_restore(pdf);
    return true;
}

bool TORPDF::isWideEncoding(const char* encoding)
{
    if (!encoding)
        return false;
    for (const char* name : {"unicode", "glyphid", "UniJIS-UCS2-H", "UniJIS-UCS2-HW-H"}) {
        if (std::strcmp(encoding, name) == 0)
            return true;
    }
    return false;
}

int32_t TORPDF::convertText(char* out, size_t size, const char* string, const char* encoding)
{
    if (!out || !string || size == 0)
        return 0;
    if (!isWideEncoding(encoding)) {
        size_t length = std::strlen(string);
        if (length >= size)
            return 0;
        std::memcpy(out, string, length + 1);
        return static_cast<int32_t>(length);
    }
    const int32_t length = std::strcmp(encoding, "glyphid") == 0 ? convertGlyphIds(out, size, string)
                                                                 : convertUtf16(out, size, string, encoding);
    // A two-byte terminator where it fits, for a reader that is given no length;
    // the rest of the buffer is left as it was (clearing 8 KB per text cost more
    // than converting it).
    const size_t end = static_cast<size_t>(length);
    std::memset(out + end, 0, std::min<size_t>(2, size - end));
    return length;
}

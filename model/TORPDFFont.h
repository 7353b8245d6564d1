// The font a text or a text block is set in: the engine's font name, an optional
// outline file, encoding, size in points, load options and colour (0xRRGGBB).
#pragma once

#include <cstdint>

#include "foundation/SharedText.h"
#include "foundation/TORPDFObject.h"

class TORPDFFont : public virtual TORPDFObject {
public:
    // Each text is copied when given.
    TORPDFFont(const char* face, const char* file, const char* encoding, double size, const char* option,
               uint32_t color);
    // A copy of other; an empty font of size 0 when there is none.
    explicit TORPDFFont(const TORPDFFont* other) { copyFrom(other); }
    TORPDFFont(const TORPDFFont& other) : TORObject(), TORPDFObject() { copyFrom(&other); }
    TORPDFFont& operator=(const TORPDFFont& other) { return copyFrom(&other); }
    ~TORPDFFont() override = default;

    const char* getFace() const { return face.get(); }
    const char* getFile() const { return file.get(); }
    const char* getEncoding() const { return encoding.get(); }
    double getSize() const { return size; }
    const char* getOption() const { return option.get(); }
    uint32_t getColor() const { return color; }

    // Each setter stores a copy (none leaves the field empty); a font's own text may be
    // passed back to it.
    TORPDFFont& setFace(const char* text);
    TORPDFFont& setFile(const char* text);
    TORPDFFont& setEncoding(const char* text);
    TORPDFFont& setSize(double value);
    TORPDFFont& setOption(const char* text);
    TORPDFFont& setColor(uint32_t value);

    // Empties the font, then takes other's texts, size and colour; none leaves an empty
    // font of size 0 and colour 0.
    TORPDFFont& copyFrom(const TORPDFFont* other);
    // Releases the four texts; size and colour stay.
    void clear();

protected:
    // Fonts are many and alike: their texts are shared.
    SharedText face;
    SharedText file;
    SharedText encoding;
    double size = 0;
    SharedText option;
    uint32_t color = 0;
};

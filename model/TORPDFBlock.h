// How one named block of an imported page is filled: with text (kind 1), an image
// (kind 2), nothing (kind 3, a PDF block), or as a form field at a rectangle (4 text
// field, 5 radio button, 6 check box). The block owns copies of its strings, font and
// corners.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/OwnedText.h"
#include "foundation/TORPDFObject.h"
#include "model/TORPDFFont.h"
#include "model/TORPDFPoint.h"

class TORPDFBlock : public virtual TORPDFObject {
public:
    static constexpr uint16_t kindText = 1, kindImage = 2, kindPdf = 3;
    static constexpr uint16_t kindTextField = 4, kindRadioButton = 5, kindCheckBox = 6;

    // Copies each text given; no font, no corners.
    TORPDFBlock(const char* name, uint16_t kind, const char* description, const char* state,
                const char* options);
    // A deep copy: strings, kind, font and corners.
    TORPDFBlock(const TORPDFBlock& other);
    TORPDFBlock& operator=(const TORPDFBlock& other);
    ~TORPDFBlock() override = default;

    const char* getName() const { return name.get(); }
    const char* getDescription() const { return description.get(); }
    uint16_t getKind() const { return kind; }
    const char* getState() const { return state.get(); }
    const char* getOptions() const { return options.get(); }
    const TORPDFFont* getFont() const { return font.get(); }
    // The lower-left corner when the low byte of which is not 0, else the upper-right.
    const TORPDFPoint* getCorner(int which) const { return corners[cornerIndex(which)].get(); }

    // Setters store copies; none leaves the place empty.
    TORPDFBlock& setName(const char* value);
    TORPDFBlock& setDescription(const char* value);
    TORPDFBlock& setKind(uint16_t value);
    TORPDFBlock& setState(const char* value);
    TORPDFBlock& setOptions(const char* value);
    TORPDFBlock& setFont(const TORPDFFont* value);
    TORPDFBlock& setCorner(const TORPDFPoint* point, int which);

    // Releases the four strings, the font and both corners; the kind stays.
    void clear();

protected:
    static int cornerIndex(int which) { return static_cast<uint8_t>(which) ? 0 : 1; }

    OwnedText name;
    OwnedText description;
    uint16_t kind = kindText;
    OwnedText state;
    OwnedText options;
    std::unique_ptr<TORPDFFont> font;
    std::unique_ptr<TORPDFPoint> corners[2];
};

// One entry of a resource file: a number, a name and a text, read from a line of
// the form number,name,text (number in hexadecimal).
#pragma once

#include <cstdint>

#include "foundation/OwnedText.h"
#include "foundation/TORObject.h"

class TORResourceData : public virtual TORObject {
public:
    TORResourceData() = default;
    TORResourceData(int32_t id, const char* name, const char* text) { set(id, name, text); }
    explicit TORResourceData(const char* line) { parse(line); }
    ~TORResourceData() override = default;

    // Takes a line number,name,text; false (and the entry empty) when the number is
    // 0 or missing or the line lacks either comma.
    virtual bool parse(const char* line);
    // False (and the entry empty) for number 0 or no text. The text is kept up to its
    // first carriage return or line feed.
    virtual bool set(int32_t id, const char* name, const char* text);

    int32_t getId() const { return id; }
    const char* getName() const { return name.get(); }
    const char* getText() const { return text.get(); }
    void reset();

private:
    int32_t id = 0;
    OwnedText name;
    OwnedText text;
};

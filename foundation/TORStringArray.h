// An array of owned text copies with exact, case-ignoring and wildcard lookup, and
// the two text functions the lookup is built on.
#pragma once

#include <memory>

#include "foundation/OwnedText.h"
#include "foundation/TORArray.h"

class TORStringArray : public TORArray {
public:
    TORStringArray(uint32_t capacity, int32_t growStep);
    ~TORStringArray() override = default;

    // Stores the slot's own pointer (not a copy) into *out.
    bool get(const char** out, int32_t index) const override;
    // Stores a copy of text at the end, growing a full array by one step.
    bool add(const char* text) override;
    virtual bool grow();

    // The first slot matching name: as a pattern when it holds "*" or "?", else by
    // equality (ignoring case when asked; an exact match always counts).
    bool find(int32_t* outIndex, const char* name, bool ignoreCase) const;

private:
    std::unique_ptr<OwnedText[]> items;
};

// 0 when text matches pattern ("*" any run of bytes, "?" one byte), non-zero
// otherwise, ordered like strcmp where the texts differ. A missing text, and a
// missing or empty pattern, count as a match.
int wildcardCompare(const char* text, const char* pattern, bool ignoreCase);

// The first position in text, stepping one Shift-JIS character at a time, where the
// bytes of needle follow; none when there is none. A missing or empty text or needle
// gives text itself.
const char* findSubstring(const char* text, const char* needle, bool ignoreCase);

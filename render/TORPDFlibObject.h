// Common base of the engine wrapper objects used by template mode. Each wrapper opens
// one engine resource in its constructor and closes it in its destructor; every engine
// failure becomes a TORPDFlibException.
#pragma once

#include "pdfengine/pdf_api.h"

class TORPDFlibObject {
public:
    // The current engine handle; raises code -1 when there is none. Derived wrappers
    // first test a precondition of their own.
    virtual PDF* checkHandle();
    virtual ~TORPDFlibObject() = default;
};

// Marks the objects of the PDF document model and the renderer.
#pragma once

#include "foundation/TORObject.h"

class TORPDFObject : public virtual TORObject {
public:
    TORPDFObject() = default;
    TORPDFObject(const TORPDFObject&) = default;
};

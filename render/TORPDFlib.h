// Owns one engine handle. The most recently constructed TORPDFlib is the process-wide
// current one (currentPdflib) that every other wrapper works on.
#pragma once

#include "render/TORPDFlibObject.h"

class TORPDFlib : public virtual TORPDFlibObject {
public:
    TORPDFlib();
    TORPDFlib(const TORPDFlib&) = delete;
    TORPDFlib& operator=(const TORPDFlib&) = delete;
    ~TORPDFlib() override;

    virtual void create();
    virtual void setParameter(const char* key, const char* value);

    PDF* getHandle() const { return handle; }

    // The engine's error handler: raises TORPDFlibException with the error type.
    static void pdflibErrorHandler(PDF* handle, int errorType, const char* message);

private:
    PDF* handle = nullptr;
};

// The wrapper whose handle the other wrappers use; none when no TORPDFlib lives.
extern TORPDFlib* currentPdflib;

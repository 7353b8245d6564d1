// An output document on the current engine handle; an empty file name makes it an
// in-memory document (enough for reading imported PDFs).
#pragma once

#include "render/TORPDFlibObject.h"

class TORPDFlibDoc : public virtual TORPDFlibObject {
public:
    // Begins the document at once; raises when it cannot be begun.
    TORPDFlibDoc(const char* fileName, const char* optionList);
    TORPDFlibDoc(const TORPDFlibDoc&) = delete;
    TORPDFlibDoc& operator=(const TORPDFlibDoc&) = delete;
    ~TORPDFlibDoc() override;

    PDF* checkHandle() override;
    virtual void prepare();
    virtual void setupParameters();
    virtual void setupInfo();
    virtual void begin(const char* optionList);
    virtual void end();

private:
    const char* fileName;
    bool open = false;
};

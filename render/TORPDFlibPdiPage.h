// One page of an imported PDF, open for as long as the object lives.
#pragma once

#include <cstdint>

#include "render/TORPDFlibObject.h"

class TORPDFlibPdi;

class TORPDFlibPdiPage : public virtual TORPDFlibObject {
public:
    // Opens the 1-based page at once; raises when it cannot be opened.
    TORPDFlibPdiPage(TORPDFlibPdi* pdi, int32_t pageNumber);
    TORPDFlibPdiPage(const TORPDFlibPdiPage&) = delete;
    TORPDFlibPdiPage& operator=(const TORPDFlibPdiPage&) = delete;
    ~TORPDFlibPdiPage() override;

    PDF* checkHandle() override;
    virtual void open(int32_t pageNumber);
    virtual void close();
    virtual int32_t fillTextblock(const char* blockName, const char* text, const char* optionList);

private:
    TORPDFlibPdi* pdi;
    int32_t page = -1;
};

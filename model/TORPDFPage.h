// One page of the document: its number, size in points, the page of the imported PDF
// placed as its background (0 for none) with its option lists, and, as container
// elements, the drawing objects it owns, in configuration order.
#pragma once

#include <cstdint>

#include "foundation/OwnedText.h"
#include "foundation/TORContainer.h"
#include "foundation/TORPDFObject.h"

class TORPDFPage : public virtual TORPDFObject, public TORContainer {
public:
    TORPDFPage(int32_t pageNo, double width, double height)
        : TORContainer(128, 32), pageNo(pageNo), width(width), height(height)
    {
    }
    ~TORPDFPage() override = default;

    int32_t getPageNo() const { return pageNo; }
    double getWidth() const { return width; }
    double getHeight() const { return height; }
    uint16_t getPdiPage() const { return pdiPage; }
    const char* getPdiOption() const { return pdiOption.get(); }
    const char* getPdiProcess() const { return pdiProcess.get(); }

    TORPDFPage& setWidth(double value)
    {
        width = value;
        return *this;
    }
    TORPDFPage& setHeight(double value)
    {
        height = value;
        return *this;
    }
    TORPDFPage& setPdiPage(uint16_t value)
    {
        pdiPage = value;
        return *this;
    }
    // A copy of text, or none.
    TORPDFPage& setPdiOption(const char* text)
    {
        pdiOption.set(text);
        return *this;
    }
    TORPDFPage& setPdiProcess(const char* text)
    {
        pdiProcess.set(text);
        return *this;
    }

protected:
    int32_t pageNo;
    double width;
    double height;
    uint16_t pdiPage = 0;
    OwnedText pdiOption;
    OwnedText pdiProcess;
};

// An imported PDF on the current engine handle, with the object queries template mode
// reads blocks through.
#pragma once

#include <cstdint>

#include "render/TORPDFlibObject.h"

class TORPDFlibPdi : public virtual TORPDFlibObject {
public:
    // Opens the PDF at once (password may be none); raises when it cannot be opened.
    TORPDFlibPdi(const char* fileName, const char* password);
    TORPDFlibPdi(const TORPDFlibPdi&) = delete;
    TORPDFlibPdi& operator=(const TORPDFlibPdi&) = delete;
    ~TORPDFlibPdi() override;

    PDF* checkHandle() override;
    virtual void open(const char* password);
    virtual void close();
    // The object type at path (1 boolean, 2 number, 3 name, 4 string, 7/8 streams).
    virtual int32_t getType(const char* path);
    // A name, string or boolean as a new Shift-JIS text (delete[]); none otherwise.
    virtual char* getString(const char* path);
    // A number or boolean, or the element count of a "length:" path; 0 otherwise.
    virtual double getNumber(const char* path);
    // A stream's decoded bytes as a new Shift-JIS text (delete[]) whose length goes to
    // lengthOut; none otherwise.
    virtual char* getStream(int32_t* lengthOut, const char* path);
    virtual bool getBoolean(const char* path);

    int32_t getDocument() const { return document; }

private:
    const char* fileName;
    int32_t document = -1;
};

// A table of numbered, named texts read from a resource file. Reading is lazy but
// whole: the first lookup with a file name reads the entire file and closes it;
// later lookups search what was read. Another file name appends that file's entries
// after the earlier ones, which keep precedence.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "foundation/OwnedText.h"
#include "foundation/TORContainer.h"
#include "foundation/TORObject.h"
#include "foundation/TORResourceData.h"

class TORResource : public virtual TORObject {
public:
    explicit TORResource(const char* fileName);
    ~TORResource() override;
    TORResource(const TORResource&) = delete;
    TORResource& operator=(const TORResource&) = delete;

    // The text of the first entry with this exact name, reading further entries of
    // the file while none has it; fallback when the file ends first.
    virtual const char* getTextByNameLoaded(const char* name, const char* fallback);
    virtual const char* getTextByIdLoaded(int32_t id, const char* fallback);
    // Reads the next valid entry of the file, appends it to the table, stores it into
    // *out and returns its text; none at the end of the file (which is then closed),
    // when the file cannot be opened or when out is none.
    virtual const char* readNext(TORResourceData** out);
    // Switches to fileName when given and different, reads all that is left, then
    // looks up.
    virtual const char* getTextByName(const char* name, const char* fallback, const char* fileName);
    virtual const char* getTextById(int32_t id, const char* fallback, const char* fileName);

    bool open();
    void close();
    void readAll();

    const char* getFileName() const { return fileName.get(); }
    uint8_t getIsOpen() const { return isOpen; }
    uint8_t getAtEnd() const { return atEnd; }

private:
    // Points the table at fileName when it names another file than the current one.
    void switchTo(const char* name);
    template <typename Matches>
    const char* findLoaded(Matches matches, const char* fallback);

    OwnedText fileName;
    uint8_t isOpen = 0;
    uint8_t atEnd = 0;
    std::unique_ptr<TORContainer> entries;

    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    // One stream per table: nothing reads two resource files at once, and a table of
    // its own cannot be disturbed by another.
    std::unique_ptr<std::FILE, FileCloser> stream;
};

// The document loaded from a configuration file: the [PDF] section, then one page per
// "PAGE_<n>" section. It also keeps the run log's settings and writes the run's log
// lines.
#pragma once

#include <cstdint>

#include "foundation/TORException.h"
#include "model/TORPDFFile.h"

class tr_pdffile : public TORPDFFile {
public:
    // The most pages a document may have; each page costs memory even without a
    // section of its own.
    static constexpr int32_t maxPages = 100000;

    // An empty document that has loaded nothing and writes no log.
    tr_pdffile();
    // Loads path at once (raises as load does).
    explicit tr_pdffile(const char* path);
    ~tr_pdffile() override = default;

    // Reads the whole configuration; true when the document is complete. Raises
    // TORPDFException (code -1) at the first error; pages already added stay.
    bool load(const char* path);
    // The two halves of load: the [PDF] section, then the pages it asks for (which
    // a caller may load otherwise, with a PageLoader). Each raises as load does.
    void loadSettings(const char* path);
    void loadPages(const char* path);
    // The number of pages the settings ask for; 0 before they are loaded.
    int32_t getPageCount() const { return pageCount; }

    // Appends the four lines of an error to the run log; false when no log is set.
    virtual bool logError(const TORException& error);
    // Appends one line to the run log; false when no log is set.
    virtual bool logText(const char* text);

    const char* getConfName() const { return confName; }
    const char* getLogFile() const { return logFile; }
    uint32_t getLogType() const { return logType; }
    uint32_t getLogSize() const { return logSize; }

protected:
    char confName[256] = {};
    char logFile[256] = {};
    uint32_t logType = 0;
    uint32_t logSize = 0;
    int32_t pageCount = 0;
};

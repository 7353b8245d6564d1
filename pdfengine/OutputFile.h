// Writing a PDF file safely: the bytes go to a new temporary file beside the
// target, which is flushed to disk and then renamed over the target. A failure
// at any step removes the temporary file and leaves an older file of the
// target's name as it was. Tests inject a failure at each step.
#pragma once

#include <memory>
#include <string>

#include "pdfengine/Qpdf.h"

namespace pdfengine {

enum class OutputFault { None, Create, Write, Close, Rename };

class OutputFile {
public:
    // Throws EngineError (2001, recoverable) when a file of this name cannot
    // be written: no such folder, a folder that is not writable, a target
    // that is a folder or a file that is not writable. Called when the
    // document begins, so a bad name fails early; the file is written at the
    // end. A target that is a symbolic link is written where the link points.
    static void checkTarget(const std::string& target);

    // Whether writing the target would replace the file `input` names (the same
    // file, through any name or link): a document must never replace a file it
    // reads. False when either does not exist.
    static bool wouldReplace(const std::string& target, const std::string& input);

    // Creates the temporary file. Throws EngineError (2001).
    OutputFile(std::string target, OutputFault fault);
    // Removes the temporary file unless commit() succeeded.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Where the writer sends the bytes. A failing write does not throw: the
    // failure is held and the rest of the output dropped, so that the writer
    // can return; commit() reports it.
    Pipeline& pipeline();

    // Flushes, syncs and closes the temporary file and renames it to the
    // target. Throws EngineError: 2002 for a write that failed before or
    // now, 2003 when the rename fails.
    void commit();

private:
    class FilePipeline;

    std::string target_;  // as given, for messages
    std::string path_;    // where the file goes: the target, or where its link points
    std::string temporary_;
    OutputFault fault_;
    int fd_ = -1;
    bool committed_ = false;
    std::unique_ptr<FilePipeline> pipeline_;
};

}  // namespace pdfengine

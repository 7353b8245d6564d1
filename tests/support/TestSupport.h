// Shared helpers of the test programs: temporary folders, files, and running
// programs (ours and the PDF tools we check our output with).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Full path of a name inside the folder, as text.
    std::string file(const std::string& name) const;

private:
    std::filesystem::path path_;
};

struct RunResult {
    int status = -1;  // exit status 0-255, or 128 + signal number when killed
    std::string out;  // standard output, byte for byte
    std::string err;  // standard error, byte for byte
};

// Runs argv[0] (looked up on PATH when it holds no "/") in the folder cwd (the
// current one when empty), with standard input fed from stdinText, and waits for it.
RunResult run(const std::vector<std::string>& argv, const std::string& cwd = "",
              const std::string& stdinText = "");

// The path of build/quillon.
std::string quillonExe();
// A file below the source tree, e.g. sourcePath("examples/demo.conf").
std::string sourcePath(const std::string& relative);

// Whether a program is on PATH (pdftotext, qpdf, ...).
bool haveTool(const std::string& name);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);

}  // namespace testsupport

// Skips the current test with a message when a checking tool is not installed.
#define QUILLON_REQUIRE_TOOL(name)                                                     \
    do {                                                                               \
        if (!::testsupport::haveTool(name))                                            \
            GTEST_SKIP() << (name) << " is not installed (scripts/install-deps adds it)"; \
    } while (0)

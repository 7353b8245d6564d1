// The program's entry point: banner, argument check, path completion and the choice
// of mode by the file's extension.
#pragma once

#include <string>

// The message of both argument errors (CP932).
extern const char usageMessage[];

// Runs the program and returns its exit status.
int quillonMain(int argc, char** argv);

// Completes a file argument to a full path: an argument holding a "/" is used as it
// stands; otherwise the folder currentDirectory and a "/" (not doubled) are put in
// front. Returns false when the argument must be completed but the folder is unknown.
bool completePath(const std::string& argument, bool haveDirectory, const std::string& currentDirectory,
                  std::string& completed);

enum class RunMode { None, Configuration, Template };
// The mode chosen by the text from the last "." of the whole path to its end.
RunMode modeOfPath(const std::string& path);

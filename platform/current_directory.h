// The process's current folder, as GetCurrentDirectoryA gave it.
#pragma once

#include <string>

namespace platform {

// Stores the current folder in out; false (and out empty) when it cannot be read.
bool getCurrentDirectory(std::string& out);

// The separator between folder names in paths.
constexpr char pathSeparator = '/';

}  // namespace platform

// Renaming without replacing: on Windows a rename onto an existing name fails, and
// the log writer counts on that to find a free archive name. A plain rename here
// would silently replace the older archive.
#pragma once

namespace platform {

// Renames from to to, unless to exists already. False when the rename did not
// happen; errno then tells why (EEXIST when the name was taken).
bool renameNoReplace(const char* from, const char* to);

}  // namespace platform

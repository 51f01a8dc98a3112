#pragma once

// Where the source manager library is looked for: the Windows directory, the system directory,
// the current directory, the program's own directory and the temporary directory, in that
// order, each asked of platform/win. A folder or a copy of the library that users other than
// its owner (and root) may write to is passed over: any user can plant a file in the temporary
// folder, for one.

#include <optional>
#include <string>
#include <vector>

namespace twain {

// The five directories in search order, each ending in "/".
std::vector<std::string> TwainSearchDirectories();

// Whether the group or everyone may write to the file or folder (true when it cannot be
// examined).
bool WritableByOthers(const std::string& path);

// The full path of the first directory's copy of fileName that no other user may have put or
// changed there, or nullopt.
std::optional<std::string> FindTwainLibrary(const std::string& fileName);

}  // namespace twain

#pragma once

// Where the source manager library is looked for: the Windows directory, the system directory,
// the current directory, the program's own directory and the temporary directory, in that
// order, each asked of platform/win.

#include <optional>
#include <string>
#include <vector>

namespace twain {

// The five directories in search order, each ending in "/".
std::vector<std::string> TwainSearchDirectories();

// The full path of the first directory's copy of fileName, or nullopt.
std::optional<std::string> FindTwainLibrary(const std::string& fileName);

}  // namespace twain

#pragma once

// The directories a Windows program asks the system for, mapped to Linux: the Windows directory
// is /usr/local/lib, the system directory /usr/lib, the temporary directory $TMPDIR or /tmp/,
// the current directory the process's, and the program's file name the running executable.
// Each can be overridden (tests point them at their own folders).
//
// The fetch functions follow the Windows contract: when the buffer holds the name and its
// terminating zero they copy it and return its length; otherwise they copy nothing and return
// the size needed, terminating zero included.

#include <optional>
#include <string>

#include "platform/win/WinTypes.h"

namespace win {

enum class SystemFolder { Windows, System, Current, ProgramFile, Temp };

// Replaces what the fetch function for folder reports; nullopt restores the system's answer.
// For ProgramFile the value is the full path of the program file, not a folder.
void SetFolderOverride(SystemFolder folder, std::optional<std::string> value);

UINT GetWindowsDirectory(char* buffer, UINT size);
UINT GetSystemDirectory(char* buffer, UINT size);
DWORD GetCurrentDirectory(DWORD size, char* buffer);
DWORD GetTempPath(DWORD size, char* buffer);
// module must be null (the program itself).
DWORD GetModuleFileName(HMODULE module, char* buffer, DWORD size);

// Whether a file (or any directory entry) exists at exactly this path.
bool FileExists(const char* path);

}  // namespace win

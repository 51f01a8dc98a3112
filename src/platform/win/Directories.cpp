#include "platform/win/Directories.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

namespace win {
namespace {

struct Overrides {
    std::mutex mutex;
    std::array<std::optional<std::string>, 5> values;
};

Overrides& overrides() {
    static Overrides instance;
    return instance;
}

std::string systemValue(SystemFolder folder) {
    std::error_code error;
    switch (folder) {
        case SystemFolder::Windows:
            return "/usr/local/lib";
        case SystemFolder::System:
            return "/usr/lib";
        case SystemFolder::Current: {
            const auto path = std::filesystem::current_path(error);
            return error ? std::string() : path.string();
        }
        case SystemFolder::ProgramFile: {
            const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
            return error ? std::string() : path.string();
        }
        case SystemFolder::Temp: {
            const char* tmp = std::getenv("TMPDIR");
            std::string path = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
            if (path.back() != '/') path += '/';
            return path;
        }
    }
    return {};
}

std::string folderValue(SystemFolder folder) {
    Overrides& o = overrides();
    {
        std::lock_guard lock(o.mutex);
        const auto& value = o.values[static_cast<std::size_t>(folder)];
        if (value) return *value;
    }
    return systemValue(folder);
}

DWORD copyOut(const std::string& value, char* buffer, DWORD size) {
    const DWORD needed = static_cast<DWORD>(value.size() + 1);
    if (buffer == nullptr || size < needed) return needed;
    std::memcpy(buffer, value.c_str(), needed);
    return needed - 1;
}

}  // namespace

void SetFolderOverride(SystemFolder folder, std::optional<std::string> value) {
    Overrides& o = overrides();
    std::lock_guard lock(o.mutex);
    o.values[static_cast<std::size_t>(folder)] = std::move(value);
}

UINT GetWindowsDirectory(char* buffer, UINT size) {
    return copyOut(folderValue(SystemFolder::Windows), buffer, size);
}

UINT GetSystemDirectory(char* buffer, UINT size) {
    return copyOut(folderValue(SystemFolder::System), buffer, size);
}

DWORD GetCurrentDirectory(DWORD size, char* buffer) {
    return copyOut(folderValue(SystemFolder::Current), buffer, size);
}

DWORD GetTempPath(DWORD size, char* buffer) {
    return copyOut(folderValue(SystemFolder::Temp), buffer, size);
}

DWORD GetModuleFileName(HMODULE module, char* buffer, DWORD size) {
    if (module != nullptr) return 0;
    return copyOut(folderValue(SystemFolder::ProgramFile), buffer, size);
}

bool FileExists(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    struct stat info {};
    return ::stat(path, &info) == 0;
}

}  // namespace win

#include "twain/TwainLibrarySearch.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include <sys/stat.h>

#include "platform/win/Directories.h"

namespace twain {
namespace {

// Fetches into 261 characters passed as 260; a longer name is fetched again into the size the
// system asked for plus one. The result is cut to the length the system returned.
std::string fetchName(const std::function<win::DWORD(char*, win::DWORD)>& fetch) {
    std::vector<char> buffer(win::MAX_PATH + 1, '\0');
    win::DWORD length = fetch(buffer.data(), win::MAX_PATH);
    if (length > win::MAX_PATH) {
        buffer.assign(static_cast<std::size_t>(length) + 1, '\0');
        length = fetch(buffer.data(), length);
    }
    // Never trust the length past what the buffer holds.
    const std::size_t held = strnlen(buffer.data(), buffer.size());
    return std::string(buffer.data(), std::min<std::size_t>(length, held));
}

std::string fetchDirectory(const std::function<win::DWORD(char*, win::DWORD)>& fetch) {
    std::string name = fetchName(fetch);
    if (name.empty() || name.back() != '/') name += '/';
    return name;
}

// The program file's path cut after its last separator; never a relative "" (that would
// search the current directory a second time).
std::string programDirectory(const std::string& programFile) {
    const std::size_t slash = programFile.find_last_of('/');
    return slash == std::string::npos ? std::string("/") : programFile.substr(0, slash + 1);
}

}  // namespace

bool WritableByOthers(const std::string& path) {
    // stat follows links: what counts is the folder or file that would be loaded.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return true;
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

std::vector<std::string> TwainSearchDirectories() {
    std::vector<std::string> directories;
    directories.push_back(
        fetchDirectory([](char* b, win::DWORD n) { return win::GetWindowsDirectory(b, n); }));
    directories.push_back(
        fetchDirectory([](char* b, win::DWORD n) { return win::GetSystemDirectory(b, n); }));
    directories.push_back(
        fetchDirectory([](char* b, win::DWORD n) { return win::GetCurrentDirectory(n, b); }));
    directories.push_back(programDirectory(
        fetchName([](char* b, win::DWORD n) { return win::GetModuleFileName(nullptr, b, n); })));
    directories.push_back(
        fetchDirectory([](char* b, win::DWORD n) { return win::GetTempPath(n, b); }));
    return directories;
}

std::optional<std::string> FindTwainLibrary(const std::string& fileName) {
    for (const std::string& directory : TwainSearchDirectories()) {
        const std::string path = directory + fileName;
        if (!win::FileExists(path.c_str())) continue;
        // A library that another user could have put there would run as this user.
        if (WritableByOthers(directory) || WritableByOthers(path)) continue;
        return path;
    }
    return std::nullopt;
}

}  // namespace twain

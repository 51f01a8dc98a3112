#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/graphics/FileDescriptor.h"

namespace brevanto::graphics {

// Whole-file reading and all-or-nothing writing for the graphics classes.

// The file's bytes. Throws EFOpenError (with the path and the system's reason) when the file
// cannot be opened or read, or is larger than maxSize.
std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path, std::size_t maxSize);

// The file opened read-only; EFOpenError (with the path and the system's reason) when it cannot be.
FileDescriptor openForReading(const std::filesystem::path& path);
// readFileBytes for a file already opened (named path in errors): its bytes from where it stands.
std::vector<std::uint8_t> readOpenFile(const FileDescriptor& fd, const std::filesystem::path& path,
                                       std::size_t maxSize);

// Makes the pages of a fresh block present in one call instead of one fault per page, which is
// most of what reading a large file into new memory costs. Only a hint: the block's contents
// stay as they are, and a kernel without it changes nothing.
void prefault(void* block, std::size_t size);

// The text of EFOpenError: Cannot open file "<path>". <reason>
std::string openError(const std::filesystem::path& path, const std::string& reason);

// Writes data to a temporary file in the target's folder, then renames it over the target; on
// any failure the temporary file is removed and the target is untouched. Throws EFCreateError.
void writeFileAtomically(const std::filesystem::path& path, const std::uint8_t* data,
                         std::size_t size);

// Renames from to to unless to exists, in one step, so a file that someone else created
// meanwhile is never replaced. True when renamed; false when to is taken (from stays).
// Throws EFCreateError naming to for any other failure.
bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace brevanto::graphics

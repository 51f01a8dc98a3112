#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/graphics/FileDescriptor.h"

namespace brevanto::graphics {

// The bytes of a file left where they are: an open read-only descriptor of the file, its name,
// and what identified it when it was opened (device and inode, size, modification and change
// times). Whoever needs the bytes reads them, or has them copied, through the descriptor, and
// the file is checked before and after each time, so the bytes are only ever those of the file
// as it was opened. Owns the descriptor; shared read-only by the copies of a picture and the
// document streams that will write it, and the last owner closes the file.
//
// The file fails the check (EFOpenError naming it) when its name leads to another file now
// (renamed over, replaced), or its size or modification time changed, or, while the name still
// leads to it, its change time did. A file whose name is gone (deleted or moved away) still
// gives its bytes: the descriptor keeps its data, and no other file can be meant by it. Its
// change time is not compared then, as removing a name changes it. Like any check by
// timestamps, it misses a rewrite of the same size within one tick of the file system's clock.
class FileRegion {
    struct Key {};

  public:
    // At most this many regions hold a descriptor at once, so that a long document cannot run
    // the process out of descriptors; past it, pictures keep their bytes in memory.
    static constexpr std::size_t kMaxOpen = 256;

    // Takes fd over (a file opened for reading under path) when it is a regular file with a
    // known, non-zero size and fewer than kMaxOpen regions are open; otherwise answers null and
    // leaves fd alone. EFOpenError "The file is too large." for a regular file over maxSize.
    static std::shared_ptr<const FileRegion> adopt(FileDescriptor& fd,
                                                   const std::filesystem::path& path,
                                                   std::size_t maxSize);
    // How many regions are open now.
    static std::size_t openCount();

    struct Identity {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::uint64_t size = 0;
        std::int64_t modifiedSeconds = 0;
        std::int64_t modifiedNanoseconds = 0;
        std::int64_t changedSeconds = 0;
        std::int64_t changedNanoseconds = 0;
        bool operator==(const Identity&) const = default;
    };
    FileRegion(Key, FileDescriptor fd, std::filesystem::path path, const Identity& identity);
    ~FileRegion();
    FileRegion(const FileRegion&) = delete;
    FileRegion& operator=(const FileRegion&) = delete;

    // The name the file was opened under, as given.
    const std::filesystem::path& path() const { return path_; }
    std::size_t size() const { return static_cast<std::size_t>(identity_.size); }
    int descriptor() const { return fd_.get(); }

    // EFOpenError naming the file unless it is still the one opened.
    void verify() const;
    // After copying the file's bytes: copied bytes were taken and the copy stopped on the read
    // error readError (0: none). EFOpenError naming the file unless every byte was copied and
    // the file is still the one opened.
    void verifyCopy(std::size_t copied, int readError) const;
    // The whole file into out (size() bytes), checked before and after.
    void read(std::uint8_t* out) const;
    std::vector<std::uint8_t> read() const;
    // count bytes at offset into out, all of them (EFOpenError naming the file otherwise).
    // Unchecked: verify() once the last part has been read.
    void readPart(std::size_t offset, std::uint8_t* out, std::size_t count) const;

  private:
    [[noreturn]] void fail(const std::string& reason) const;

    FileDescriptor fd_;
    std::filesystem::path path_;
    // The absolute name, so a later change of working folder does not change what is checked.
    std::filesystem::path checkedPath_;
    Identity identity_;
};

}  // namespace brevanto::graphics

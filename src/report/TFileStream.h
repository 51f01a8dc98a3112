#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "pdf/Stream.h"
#include "platform/graphics/FileDescriptor.h"

// A file opened for writing as the PDF writer's byte sink, written through a buffer of its own.
// Owns the open file; closes it when destroyed (writing what is buffered, errors unreported).
// Errors are EFCreateError (cannot create) and EWriteError (a write failed).
class TFileStream final : public TStream {
  public:
    // Creates or replaces the file. EFCreateError "Cannot create file "<absolute path>".
    // <system error>", naming shownPath when one is given (a temporary file stands in for it).
    explicit TFileStream(const std::filesystem::path& path,
                         const std::filesystem::path& shownPath = {});
    // Writes into a file already open for writing (a temporary file), named shownPath in errors.
    TFileStream(brevanto::graphics::FileDescriptor fd, const std::filesystem::path& shownPath);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    void Write(const void* data, std::size_t count) override;
    std::int64_t Position() const override { return position_; }
    void SetPosition(std::int64_t position) override;
    // Has the kernel copy the bytes from file to file (copy_file_range), without passing them
    // through this process; where it cannot, reads and writes them as TStream does.
    TCopyResult CopyFromFile(int descriptor, std::int64_t offset, std::size_t count) override;

    // Flushes everything to the disk and closes; EWriteError when that fails.
    void Close();

  private:
    // Writes the buffered bytes out; false (errno set) when that fails.
    bool flushBuffer();
    void writeAll(const std::uint8_t* data, std::size_t count);

    brevanto::graphics::FileDescriptor fd_;
    // Documents are written in many small pieces: the buffer keeps system calls few.
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t buffered_ = 0;
    std::int64_t position_ = 0;
    bool kernelCopy_ = true;  // false once the file systems refused copy_file_range
};

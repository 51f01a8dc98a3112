#pragma once

namespace brevanto::graphics {

// Owns one open file descriptor and closes it when destroyed; moves hand the descriptor on.
class FileDescriptor {
  public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    // The descriptor, or -1 when none is held.
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (write errors can surface here).
    bool close();

  private:
    int fd_ = -1;
};

}  // namespace brevanto::graphics

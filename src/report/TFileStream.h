#pragma once

#include <cstdio>
#include <filesystem>

#include "pdf/Stream.h"

// A file opened for writing as the PDF writer's byte sink. Owns the open file; closes it when
// destroyed. Errors are EFCreateError (cannot create) and EWriteError (a write failed).
class TFileStream final : public TStream {
  public:
    // Creates or replaces the file. EFCreateError "Cannot create file "<absolute path>".
    // <system error>", naming shownPath when one is given (a temporary file stands in for it).
    explicit TFileStream(const std::filesystem::path& path,
                         const std::filesystem::path& shownPath = {});
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    void Write(const void* data, std::size_t count) override;
    std::int64_t Position() const override { return position_; }
    void SetPosition(std::int64_t position) override;

    // Flushes everything to the disk and closes; EWriteError when that fails.
    void Close();

  private:
    std::FILE* file_ = nullptr;
    std::int64_t position_ = 0;
};

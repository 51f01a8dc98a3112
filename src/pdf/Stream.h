#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The byte sink everything in the PDF writer writes into: the file (a file stream, provided
// by its opener) or memory (TMemoryStream). Position is the offset of the next write, counted
// from the start; setting it makes the next write overwrite or extend from there.
class TStream {
  public:
    virtual ~TStream() = default;

    virtual void Write(const void* data, std::size_t count) = 0;
    virtual std::int64_t Position() const = 0;
    virtual void SetPosition(std::int64_t position) = 0;

    // Writes the text's bytes unchanged.
    void WriteText(std::string_view text);

    // What CopyFromFile did: how many bytes it copied, and the error that stopped it reading
    // the source (errno; 0 when it read until count or the source's end).
    struct TCopyResult {
        std::size_t Copied = 0;
        int ReadError = 0;
    };
    // Writes count bytes of the open file descriptor, from offset on, as Write would: stops
    // early at the file's end or a read error. Throws what Write throws. This one reads through
    // a small buffer; a file sink may have the system copy instead.
    virtual TCopyResult CopyFromFile(int descriptor, std::int64_t offset, std::size_t count);
};

// The reader of the damaged movie: opens it read-only, positions in it with 64-bit offsets and
// finds the complete Vellix frames that still lie in it.
#pragma once

#include <cstdint>
#include <cstdio>

// A byte position in the source file, never narrowed to 32 bits.
using FileOffset = std::uint64_t;

// 0 = no frame; 1 and 3 = key frames; 2 = difference frame.
using FrameType = std::int32_t;

class vellix_bitstream {
public:
    // Opens path for reading when it is not null; IsOpen() tells whether that worked.
    explicit vellix_bitstream(const char* path = nullptr);
    virtual ~vellix_bitstream();

    vellix_bitstream(const vellix_bitstream&) = delete;
    vellix_bitstream& operator=(const vellix_bitstream&) = delete;

    bool Open(const char* path);
    void Close();
    bool IsOpen() const;

    // Reads up to count bytes at the current position; fewer at the end of the file.
    std::uint32_t Read(void* buffer, std::uint32_t count);
    FileOffset Tell();
    int Seek(FileOffset offset);
    int SeekFromEnd(std::int64_t distance);
    // The file's length; the position is unchanged.
    FileOffset GetSize();

    // Finds the next complete frame whose start word lies at offset + 4k. On success the
    // position is the frame's end. start, end and type are 0 before the search begins.
    bool FindNextFrame(FileOffset offset, FileOffset& start, FileOffset& end, FrameType& type);

private:
    // (implementation fields: the stream handle, the ownership flag, and the read block)
    std::FILE* stream_ = nullptr;
    bool ownsStream_ = false;
};

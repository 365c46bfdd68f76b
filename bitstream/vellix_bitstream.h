// The reader of the damaged movie: opens it read-only, positions in it with 64-bit offsets and
// finds the complete Vellix frames that still lie in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

// A byte position in the source file, never narrowed to 32 bits.
using FileOffset = std::uint64_t;

// 0 = no frame; 1 and 3 = key frames; 2 = difference frame.
using FrameType = std::int32_t;

// How many bytes the scanner reads from the file at a time (a multiple of 4).
inline constexpr std::size_t kReadBlockSize = 1024 * 1024;

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

    // Reads up to count bytes at the current position; fewer at the end of the file. Without a
    // stream, Read and Tell give 0 and the seeks fail.
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
    // Makes the cached block hold the bytes from position on (as many as the file has, up to a
    // block); false when the stream cannot be positioned there.
    bool FillBlock(FileOffset position);
    // The whole words cached from position on, counted into words; null when none is cached.
    const unsigned char* CachedWords(FileOffset position, std::size_t& words) const;
    // Moves the stream to the position handed out by the last frame found, if it is not there.
    void ApplyPendingPosition();

    // The read block lies on a memory page: the system copies file data into it fastest there.
    struct BlockRelease {
        void operator()(unsigned char* block) const;
    };

    std::FILE* stream_ = nullptr;
    bool ownsStream_ = false;
    // The read block, allocated once, and the file bytes it holds: [blockStart_, + blockLength_).
    std::unique_ptr<unsigned char[], BlockRelease> block_;
    FileOffset blockStart_ = 0;
    std::size_t blockLength_ = 0;
    // After a frame is found the stream's position is its end; the stream itself is moved there
    // only when it is next read, so the frame-by-frame path makes no system call.
    FileOffset pendingPosition_ = 0;
    bool positionPending_ = false;
};

#include "bitstream/vellix_bitstream.h"

#include <cstdint>
#include <limits>
#include <new>

#include "bitstream/file_stream.h"
#include "bitstream/frame_search.h"

namespace {

constexpr std::size_t kWordSize = 4;
static_assert(kReadBlockSize % kWordSize == 0);
constexpr std::align_val_t kBlockAlignment{4096};

// Seeks from the start of the file; a position the stream cannot express fails.
int SeekFromStart(std::FILE* stream, FileOffset offset) {
    if (offset > static_cast<FileOffset>(std::numeric_limits<std::int64_t>::max())) {
        return -1;
    }
    return SeekStream(stream, static_cast<std::int64_t>(offset), SEEK_SET);
}

}  // namespace

vellix_bitstream::vellix_bitstream(const char* path) {
    if (path != nullptr) {
        Open(path);
    }
}

vellix_bitstream::~vellix_bitstream() {
    Close();
}

bool vellix_bitstream::Open(const char* path) {
    Close();
    if (!block_) {
        block_.reset(static_cast<unsigned char*>(
            ::operator new[](kReadBlockSize, kBlockAlignment, std::nothrow)));
    }
    // A folder, a pipe or a device holds no movie to scan; it is refused like a missing file.
    stream_ = block_ && path != nullptr ? OpenScannableFile(path) : nullptr;
    ownsStream_ = true;
    return stream_ != nullptr;
}

void vellix_bitstream::Close() {
    if (stream_ != nullptr && ownsStream_) {
        std::fclose(stream_);
    }
    stream_ = nullptr;
    ownsStream_ = false;
    blockStart_ = 0;
    blockLength_ = 0;
    positionPending_ = false;
}

bool vellix_bitstream::IsOpen() const {
    return stream_ != nullptr;
}

std::uint32_t vellix_bitstream::Read(void* buffer, std::uint32_t count) {
    if (stream_ == nullptr) {
        return 0;
    }
    ApplyPendingPosition();
    return static_cast<std::uint32_t>(std::fread(buffer, 1, count, stream_));
}

FileOffset vellix_bitstream::Tell() {
    if (stream_ == nullptr) {
        return 0;
    }
    if (positionPending_) {
        return pendingPosition_;
    }
    return static_cast<FileOffset>(TellStream(stream_));
}

int vellix_bitstream::Seek(FileOffset offset) {
    positionPending_ = false;
    return stream_ != nullptr ? SeekFromStart(stream_, offset) : -1;
}

int vellix_bitstream::SeekFromEnd(std::int64_t distance) {
    positionPending_ = false;
    return stream_ != nullptr ? SeekStream(stream_, distance, SEEK_END) : -1;
}

FileOffset vellix_bitstream::GetSize() {
    const FileOffset position = Tell();
    SeekFromEnd(0);
    const FileOffset size = Tell();
    Seek(position);
    return size;
}

bool vellix_bitstream::FindNextFrame(FileOffset offset, FileOffset& start, FileOffset& end,
                                     FrameType& type) {
    start = 0;
    end = 0;
    type = 0;
    if (stream_ == nullptr) {
        return false;
    }
    positionPending_ = false;
    FrameSearch search;
    FileOffset next = offset;  // the offset of the next word to examine
    for (;;) {
        std::size_t words = 0;
        const unsigned char* data = CachedWords(next, words);
        if (data == nullptr && FillBlock(next)) {
            data = CachedWords(next, words);
        }
        if (data == nullptr) {
            break;  // the end of the file: fewer than 4 bytes left
        }
        next += search.Feed(data, words) * kWordSize;
        if (search.IsComplete()) {
            start = offset + search.StartWord() * kWordSize;
            end = next;
            type = kFoundFrameType;
            pendingPosition_ = end;
            positionPending_ = true;
            return true;
        }
    }
    if (search.HasStart()) {
        start = offset + search.StartWord() * kWordSize;
        type = kFoundFrameType;
    }
    return false;
}

bool vellix_bitstream::FillBlock(FileOffset position) {
    blockStart_ = position;
    blockLength_ = 0;
    if (SeekFromStart(stream_, position) != 0) {
        return false;
    }
    // Read until the block is full or the file ends; a short read is not yet the end.
    while (blockLength_ < kReadBlockSize) {
        const std::size_t got =
            std::fread(block_.get() + blockLength_, 1, kReadBlockSize - blockLength_, stream_);
        if (got == 0) {
            break;
        }
        blockLength_ += got;
    }
    return true;
}

const unsigned char* vellix_bitstream::CachedWords(FileOffset position, std::size_t& words) const {
    if (position < blockStart_ || position - blockStart_ + kWordSize > blockLength_) {
        return nullptr;
    }
    const std::size_t skip = static_cast<std::size_t>(position - blockStart_);
    words = (blockLength_ - skip) / kWordSize;
    return block_.get() + skip;
}

void vellix_bitstream::BlockRelease::operator()(unsigned char* block) const {
    ::operator delete[](block, kBlockAlignment);
}

void vellix_bitstream::ApplyPendingPosition() {
    if (positionPending_) {
        positionPending_ = false;
        SeekFromStart(stream_, pendingPosition_);
    }
}

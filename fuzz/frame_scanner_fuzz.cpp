// The frame scanner on arbitrary file contents and start offsets, checked against a plain
// reference scan that reads one word at a time exactly as the scanner's rules are written.
//
// Input: a flags byte, a 16-bit start-offset selector, a hole-tail byte, a 32-bit seed for the
// run lengths of the in-memory search, then the file's contents. With flag bit 0 the contents
// follow a hole of zero bytes that ends that many bytes before the scanner's first read-block
// boundary, so that frames straddle its blocks.
//
// Checked: the in-memory search fed in runs of any length, with the portable and the fastest word
// finder; and the file reader driven as a repair run drives it (each search from the end of the
// frame before), with the bytes read after each frame, the file size, and a repeated search after
// the end of the file.
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bitstream/frame_search.h"
#include "bitstream/vellix_bitstream.h"
#include "fuzz/check.h"
#include "fuzz/scratch_folder.h"

namespace {

using tarnwick::fuzz::Check;
using tarnwick::fuzz::ScratchFolder;

using Word = std::array<std::uint8_t, 4>;

constexpr Word kStart = {0x00, 0x01, 0x00, 0x09};
constexpr Word kFirstEnd = {0x00, 0x04, 0x0C, 0x0C};
constexpr Word kSecondEnd = {0x00, 0x18, 0x00, 0x00};
constexpr std::int32_t kType = 3;

// The file as the scanner sees it: a hole of zero bytes, then the contents.
struct VirtualFile {
    std::uint64_t hole = 0;
    std::vector<std::uint8_t> contents;

    std::uint64_t Size() const { return hole + contents.size(); }
    std::uint8_t At(std::uint64_t position) const {
        return position < hole ? 0 : contents[position - hole];
    }
    // The word at position; false when fewer than 4 bytes are left there.
    bool WordAt(std::uint64_t position, Word& word) const {
        if (position > Size() || Size() - position < 4) {
            return false;
        }
        for (std::size_t i = 0; i < 4; ++i) {
            word[i] = At(position + i);
        }
        return true;
    }
};

struct ScanResult {
    bool found = false;
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    std::int32_t type = 0;
    bool operator==(const ScanResult&) const = default;
};

// One word at a time from offset: the start word opens a frame, a first end word followed at once
// by the second closes it, and the word after a first end word is consumed either way.
ScanResult ReferenceScan(const VirtualFile& file, std::uint64_t offset) {
    ScanResult result;
    std::uint64_t position = offset;
    Word word;
    // Whole words of the hole are zero: no signature, so the start search passes over them.
    if (position + 4 <= file.hole) {
        position += (file.hole - position) / 4 * 4;
    }
    while (!result.found && file.WordAt(position, word)) {
        position += 4;
        if (result.type == 0) {
            if (word == kStart) {
                result.start = position - 4;
                result.type = kType;
            }
        } else if (word == kFirstEnd) {
            if (!file.WordAt(position, word)) {
                break;
            }
            position += 4;
            if (word == kSecondEnd) {
                result.found = true;
                result.end = position;
            }
        }
    }
    return result;
}

// A small generator for run lengths, so that a run boundary falls anywhere.
struct RunLengths {
    std::uint32_t state;
    std::size_t Next() {
        state = state * 1664525u + 1013904223u;
        return 1 + (state >> 24) % 17;
    }
};

// The in-memory search from offset over the file's words, fed in runs copied into blocks of
// exactly their size.
ScanResult SearchInMemory(const VirtualFile& file, std::uint64_t offset, WordFinder find,
                          RunLengths runs) {
    const std::uint64_t words = offset <= file.Size() ? (file.Size() - offset) / 4 : 0;
    FrameSearch search(find);
    std::uint64_t fed = 0;
    while (fed < words && !search.IsComplete()) {
        const std::size_t count = std::min<std::uint64_t>(runs.Next(), words - fed);
        auto block = std::make_unique<std::uint8_t[]>(count * 4);
        for (std::size_t i = 0; i < count * 4; ++i) {
            block[i] = file.At(offset + fed * 4 + i);
        }
        const std::size_t examined = search.Feed(block.get(), count);
        Check(examined == count || (search.IsComplete() && examined < count));
        fed += examined;
    }
    ScanResult result;
    if (search.HasStart()) {
        result.start = offset + search.StartWord() * 4;
        result.type = kType;
    }
    if (search.IsComplete()) {
        Check(search.EndWord() == fed);
        result.found = true;
        result.end = offset + search.EndWord() * 4;
    }
    return result;
}

// Writes the file the reader opens: the hole as a hole, then the contents.
void WriteFile(const std::string& path, const VirtualFile& file) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    Check(fd >= 0);
    Check(ftruncate(fd, static_cast<off_t>(file.Size())) == 0);
    const auto written =
        pwrite(fd, file.contents.data(), file.contents.size(), static_cast<off_t>(file.hole));
    Check(written == static_cast<ssize_t>(file.contents.size()));
    close(fd);
}

ScanResult SearchFile(vellix_bitstream& reader, std::uint64_t offset) {
    ScanResult result;
    result.found = reader.FindNextFrame(offset, result.start, result.end, result.type);
    return result;
}

// After a frame, the reader stands at its end: the next bytes read are the file's from there.
void CheckReadAfter(vellix_bitstream& reader, const VirtualFile& file, std::uint64_t end) {
    std::uint8_t bytes[16];
    const std::uint32_t got = reader.Read(bytes, sizeof bytes);
    Check(got == std::min<std::uint64_t>(sizeof bytes, file.Size() - end));
    for (std::uint32_t i = 0; i < got; ++i) {
        Check(bytes[i] == file.At(end + i));
    }
    Check(reader.Tell() == end + got);
}

// Every frame from offset on, each search starting at the end of the frame before.
void CheckReader(const std::string& path, const VirtualFile& file, std::uint64_t offset) {
    vellix_bitstream reader(path.c_str());
    Check(reader.IsOpen());
    Check(reader.GetSize() == file.Size());
    const ScanResult first = SearchFile(reader, offset);
    ScanResult found = first;
    for (std::uint64_t from = offset;;) {
        const ScanResult expected = ReferenceScan(file, from);
        Check(found == expected);
        if (!found.found) {
            break;
        }
        Check(found.end - found.start >= 12 && (found.end - found.start) % 4 == 0);
        CheckReadAfter(reader, file, found.end);
        from = found.end;
        found = SearchFile(reader, from);
    }
    Check(SearchFile(reader, offset) == first);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    static const ScratchFolder scratch("fuzz-scan");
    if (size < 8) {
        return 0;
    }
    VirtualFile file;
    file.contents.assign(input + 8, input + size);
    if (input[0] & 1) {
        file.hole = kReadBlockSize - input[3];
    }
    const std::uint64_t selector = (std::uint64_t{input[1]} << 8) | input[2];
    const std::uint64_t base = file.hole > 64 ? file.hole - 64 : 0;
    const std::uint64_t offset = base + selector % (file.Size() - base + 72);
    RunLengths runs{(std::uint32_t{input[4]} << 24) | (std::uint32_t{input[5]} << 16) |
                    (std::uint32_t{input[6]} << 8) | input[7]};

    const ScanResult expected = ReferenceScan(file, offset);
    if (file.hole == 0) {
        Check(SearchInMemory(file, offset, FindWordPortable, runs) == expected);
        Check(SearchInMemory(file, offset, FindWord, runs) == expected);
    }
    const std::string path = scratch.File("take.mov");
    WriteFile(path, file);
    CheckReader(path, file, offset);
    return 0;
}

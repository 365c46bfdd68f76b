// The frame-header tag search on arbitrary bytes and lengths. The input's first two bytes name the
// wanted tag and the next two how many of the remaining bytes the search is given; those bytes are
// copied into a block of exactly that size, so that a read past the length is caught.
//
// What must hold: a tag found is the tag of a whole word of the block, at a multiple of 4, whose
// value is the one reported; a tag not found leaves the destination as it was.
#include <cstdint>
#include <cstring>
#include <memory>

#include "app/movie_repair.h"
#include "fuzz/check.h"

namespace {

constexpr std::uint16_t kUntouched = 0xA5A5;

std::uint16_t BigEndian16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
}

// True when some whole word of data carries tag (either sign) with value.
bool HoldsWord(const std::uint8_t* data, std::size_t length, std::uint16_t tag,
               std::uint16_t value) {
    for (std::size_t at = 0; at + 4 <= length; at += 4) {
        const auto wordTag = static_cast<std::int16_t>(BigEndian16(data + at));
        const int unsignedTag = wordTag < 0 ? -wordTag : wordTag;
        if ((unsignedTag & 0xFFFF) == tag && BigEndian16(data + at + 2) == value) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const std::uint16_t tag = BigEndian16(input);
    const std::size_t available = size - 4;
    const std::size_t length = BigEndian16(input + 2) % (available + 1);
    auto block = std::make_unique<std::uint8_t[]>(length);
    if (length != 0) {
        std::memcpy(block.get(), input + 4, length);
    }

    std::uint16_t value = kUntouched;
    const bool found =
        CMovieRepair::FindHeaderTag(block.get(), static_cast<std::int32_t>(length), tag, &value);
    tarnwick::fuzz::Check(found ? HoldsWord(block.get(), length, tag, value) : value == kUntouched);
    return 0;
}

// The frame-header words of the Vellix bitstream: a signed 16-bit tag and an unsigned 16-bit
// value in one big-endian 32-bit word, possibly followed by a payload of further words.
#include <cstdint>

#include "app/movie_repair.h"

namespace {

// Stands in for a word when fewer than 4 bytes remain; its tag ends the search.
constexpr std::uint32_t kFillWord = 0x0C0C0C0C;
constexpr int kHighestPlainTag = 93;
constexpr int kLongPayloadBit = 0x2000;
constexpr int kShortPayloadBit = 0x4000;
constexpr int kCountedTag = 2;
constexpr int kEndTagA = 18;
constexpr int kEndTagB = 24;

std::uint32_t PayloadWords(int tag, std::uint16_t value) {
    if (tag & kLongPayloadBit) {
        return (static_cast<std::uint32_t>(tag & 0xFF) << 16) + value;
    }
    if ((tag & kShortPayloadBit) || tag == kCountedTag) {
        return value;
    }
    return 0;
}

// A tag whose payload is itself header words, read next rather than skipped.
bool HasNestedWords(int tag) {
    int highByte = (tag >> 8) & 0xFF;
    return highByte == 0x21 || highByte == 0x22;
}

}  // namespace

bool CMovieRepair::FindHeaderTag(const unsigned char* data, std::int32_t length, std::uint16_t tag,
                                 std::uint16_t* value) {
    const unsigned char* cursor = data;
    std::int64_t remaining = length;
    for (;;) {
        std::uint32_t word = kFillWord;
        if (remaining >= 4) {
            word = (std::uint32_t{cursor[0]} << 24) | (std::uint32_t{cursor[1]} << 16) |
                   (std::uint32_t{cursor[2]} << 8) | std::uint32_t{cursor[3]};
            cursor += 4;
            remaining -= 4;
        }
        auto t = static_cast<std::int16_t>(word >> 16);
        auto v = static_cast<std::uint16_t>(word & 0xFFFF);
        if (t < 0) {
            t = static_cast<std::int16_t>(-t);  // -32768 stays as it is
        }
        if (t > kHighestPlainTag && !(t & (kLongPayloadBit | kShortPayloadBit))) {
            return false;
        }
        if (t == tag) {
            *value = v;
            return true;
        }
        std::int64_t payloadBytes = 4 * std::int64_t{PayloadWords(t, v)};
        if (payloadBytes > remaining) {
            return false;
        }
        if (!HasNestedWords(t)) {
            cursor += payloadBytes;
            remaining -= payloadBytes;
        }
        if (t == kEndTagA || t == kEndTagB || remaining == 0) {
            return false;
        }
    }
}

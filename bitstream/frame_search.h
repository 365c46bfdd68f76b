// The search for complete Vellix frames in a run of 4-byte words held in memory. The source
// reader feeds it one block of the file after another; fuzzers and benchmarks call it on a buffer.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

// A 4-byte word as it lies in memory, compared byte for byte in file order whatever the
// machine's byte order.
using RawWord = std::uint32_t;

constexpr RawWord WordFromBytes(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                                std::uint8_t b3) {
    return std::bit_cast<RawWord>(std::array<std::uint8_t, 4>{b0, b1, b2, b3});
}

// Tag 1, value 9: the first word of a frame.
inline constexpr RawWord kStartWord = WordFromBytes(0x00, 0x01, 0x00, 0x09);
// Tag 4, value 0x0C0C, then tag 24, value 0: the two words that end a frame.
inline constexpr RawWord kFirstEndWord = WordFromBytes(0x00, 0x04, 0x0C, 0x0C);
inline constexpr RawWord kSecondEndWord = WordFromBytes(0x00, 0x18, 0x00, 0x00);

// The frame-type code of every frame the search finds.
inline constexpr std::int32_t kFoundFrameType = 3;

// Finds the first of the count words at data, data + 4, data + 8, ... that equals word, and
// returns its index, or count when there is none. data needs no particular alignment.
using WordFinder = std::size_t (*)(const unsigned char* data, std::size_t count, RawWord word);

// One word at a time; runs on every target.
std::size_t FindWordPortable(const unsigned char* data, std::size_t count, RawWord word);
#if defined(__SSE2__)
// Sixteen words at a time with SSE2.
std::size_t FindWordSse2(const unsigned char* data, std::size_t count, RawWord word);
#endif
// The fastest finder this build has.
std::size_t FindWord(const unsigned char* data, std::size_t count, RawWord word);

// The search for one frame: a start word, any further words, and the two end words. A further
// start word inside a frame is ordinary content, an end signature before the start word is
// passed over, and the word after a first end word is consumed whatever it holds. Words are fed
// in order, in runs of any length; the search keeps no data, only its phase and word counts.
class FrameSearch {
  public:
    explicit FrameSearch(WordFinder find = FindWord) : find_(find) {}

    // Examines the count words at data, which follow the words fed before. Returns how many
    // were examined: all of them, or fewer when the frame was completed by the last one examined.
    std::size_t Feed(const unsigned char* data, std::size_t count);

    bool HasStart() const { return phase_ != Phase::kStartWord; }
    bool IsComplete() const { return phase_ == Phase::kComplete; }
    // Index of the start word, counted from the first word fed; valid once HasStart().
    std::uint64_t StartWord() const { return startWord_; }
    // Index just past the second end word; valid once IsComplete().
    std::uint64_t EndWord() const { return wordsFed_; }

  private:
    enum class Phase { kStartWord, kFirstEndWord, kSecondEndWord, kComplete };

    // Passes over the words from index next up to and including the first that equals word;
    // true when there was one.
    bool SkipPast(RawWord word, const unsigned char* data, std::size_t count,
                  std::size_t& next) const;

    WordFinder find_;
    Phase phase_ = Phase::kStartWord;
    std::uint64_t wordsFed_ = 0;
    std::uint64_t startWord_ = 0;
};

#include "bitstream/frame_search.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t kWordSize = 4;

RawWord LoadWord(const unsigned char* data) {
    RawWord word;
    std::memcpy(&word, data, sizeof word);
    return word;
}

}  // namespace

std::size_t FindWordPortable(const unsigned char* data, std::size_t count, RawWord word) {
    for (std::size_t i = 0; i < count; ++i) {
        if (LoadWord(data + i * kWordSize) == word) {
            return i;
        }
    }
    return count;
}

#if defined(__SSE2__)
std::size_t FindWordSse2(const unsigned char* data, std::size_t count, RawWord word) {
    const __m128i wanted = _mm_set1_epi32(static_cast<int>(word));
    auto matches = [&](std::size_t index) {
        const __m128i words =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + index * kWordSize));
        return _mm_cmpeq_epi32(words, wanted);
    };
    // Sixteen words per step; the step's exact word is found from the byte mask of its match.
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i any = _mm_or_si128(_mm_or_si128(matches(i), matches(i + 4)),
                                         _mm_or_si128(matches(i + 8), matches(i + 12)));
        if (_mm_movemask_epi8(any) != 0) {
            break;
        }
    }
    for (; i + 4 <= count; i += 4) {
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(matches(i)));
        if (mask != 0) {
            return i + static_cast<std::size_t>(std::countr_zero(mask)) / kWordSize;
        }
    }
    return i + FindWordPortable(data + i * kWordSize, count - i, word);
}
#endif

std::size_t FindWord(const unsigned char* data, std::size_t count, RawWord word) {
#if defined(__SSE2__) && !defined(TARNWICK_PORTABLE_SEARCH)
    return FindWordSse2(data, count, word);
#else
    return FindWordPortable(data, count, word);
#endif
}

bool FrameSearch::SkipPast(RawWord word, const unsigned char* data, std::size_t count,
                           std::size_t& next) const {
    const std::size_t left = count - next;
    const std::size_t found = find_(data + next * kWordSize, left, word);
    next += found < left ? found + 1 : found;
    return found < left;
}

std::size_t FrameSearch::Feed(const unsigned char* data, std::size_t count) {
    std::size_t next = 0;
    while (next < count && phase_ != Phase::kComplete) {
        switch (phase_) {
            case Phase::kStartWord:
                if (SkipPast(kStartWord, data, count, next)) {
                    startWord_ = wordsFed_ + next - 1;
                    phase_ = Phase::kFirstEndWord;
                }
                break;
            case Phase::kFirstEndWord:
                if (SkipPast(kFirstEndWord, data, count, next)) {
                    phase_ = Phase::kSecondEndWord;
                }
                break;
            case Phase::kSecondEndWord:
                // The word after a first end word is consumed whether it completes the frame or
                // not.
                phase_ = LoadWord(data + next * kWordSize) == kSecondEndWord ? Phase::kComplete
                                                                             : Phase::kFirstEndWord;
                ++next;
                break;
            case Phase::kComplete:
                break;
        }
    }
    wordsFed_ += next;
    return next;
}

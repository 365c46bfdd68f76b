// The in-memory search: every word finder against a plain loop, at every alignment and length
// around its vector steps, and the frame search fed in runs of any length against the
// word-by-word search it stands for.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <random>
#include <vector>

#include "bitstream/frame_search.h"

namespace {

struct NamedFinder {
    const char* name;
    WordFinder find;
};

void PrintTo(const NamedFinder& finder, std::ostream* out) {
    *out << finder.name;
}

std::vector<NamedFinder> Finders() {
    return {
        {"Portable", FindWordPortable},
#if defined(__SSE2__)
            {"Sse2", FindWordSse2},
#endif
            {"Default", FindWord},
    };
}

class WordFinderTest : public testing::TestWithParam<NamedFinder> {};

// A buffer of count words at byte offset skew from an aligned base, every word a near miss of
// the wanted one (three of its four bytes), with the wanted word at the given indexes.
std::vector<unsigned char> NearMisses(std::size_t skew, std::size_t count, RawWord wanted) {
    std::vector<unsigned char> buffer(skew + count * 4 + 16, 0);
    for (std::size_t i = 0; i < count; ++i) {
        RawWord miss = wanted;
        reinterpret_cast<unsigned char*>(&miss)[i % 4] ^= 0x40;
        std::memcpy(buffer.data() + skew + i * 4, &miss, 4);
    }
    return buffer;
}

TEST_P(WordFinderTest, FindsTheFirstMatchAtEveryAlignmentAndLength) {
    const WordFinder find = GetParam().find;
    for (std::size_t skew = 0; skew < 4; ++skew) {
        for (std::size_t count = 0; count <= 70; ++count) {
            std::vector<unsigned char> buffer = NearMisses(skew, count, kStartWord);
            const unsigned char* data = buffer.data() + skew;
            ASSERT_EQ(find(data, count, kStartWord), count) << skew << " " << count;
            for (std::size_t at = count; at-- > 0;) {
                std::memcpy(buffer.data() + skew + at * 4, &kStartWord, 4);
                ASSERT_EQ(find(data, count, kStartWord), at) << skew << " " << count;
            }
        }
    }
}

TEST_P(WordFinderTest, IgnoresMatchesOffTheWordGridAndPastTheEnd) {
    const WordFinder find = GetParam().find;
    std::vector<unsigned char> buffer(4 * 40 + 8, 0xAA);
    std::memcpy(buffer.data() + 4 * 7 + 2, &kFirstEndWord, 4);  // straddles words 7 and 8
    std::memcpy(buffer.data() + 4 * 32, &kFirstEndWord, 4);     // just past a count of 32
    EXPECT_EQ(find(buffer.data(), 32, kFirstEndWord), 32u);
    EXPECT_EQ(find(buffer.data() + 2, 32, kFirstEndWord), 7u);
}

INSTANTIATE_TEST_SUITE_P(AllFinders, WordFinderTest, testing::ValuesIn(Finders()),
                         [](const testing::TestParamInfo<NamedFinder>& info) {
                             return info.param.name;
                         });

// The search as first written: one word at a time. Returns (start word, end word) of the first
// frame, or end word 0 when there is none.
std::pair<std::size_t, std::size_t> WordByWord(const std::vector<RawWord>& words) {
    std::size_t i = 0;
    while (i < words.size() && words[i] != kStartWord) {
        ++i;
    }
    const std::size_t start = i++;
    while (i < words.size()) {
        if (words[i++] == kFirstEndWord && i < words.size() && words[i++] == kSecondEndWord) {
            return {start, i};
        }
    }
    return {start, 0};
}

TEST(FrameSearchTest, FeedingInAnyRunsMatchesTheWordByWordSearch) {
    std::mt19937 random(20261211);
    const RawWord alphabet[] = {kStartWord, kFirstEndWord, kSecondEndWord,
                                WordFromBytes(1, 2, 3, 4)};
    for (const NamedFinder& finder : Finders()) {
        for (int round = 0; round < 3000; ++round) {
            std::vector<RawWord> words(random() % 40);
            for (RawWord& word : words) {
                word = alphabet[random() % 4];
            }
            const auto [start, end] = WordByWord(words);

            FrameSearch search(finder.find);
            const auto* data = reinterpret_cast<const unsigned char*>(words.data());
            std::size_t fed = 0;
            while (fed < words.size() && !search.IsComplete()) {
                const std::size_t run = std::min<std::size_t>(random() % 6, words.size() - fed);
                const std::size_t examined = search.Feed(data + 4 * fed, run);
                ASSERT_TRUE(examined == run || search.IsComplete());
                fed += examined;
            }
            SCOPED_TRACE(finder.name);
            ASSERT_EQ(search.HasStart(), start < words.size()) << round;
            if (search.HasStart()) {
                ASSERT_EQ(search.StartWord(), start) << round;
            }
            ASSERT_EQ(search.IsComplete(), end != 0) << round;
            if (end != 0) {
                ASSERT_EQ(search.EndWord(), end) << round;
                ASSERT_EQ(fed, end) << round;
            }
        }
    }
}

}  // namespace

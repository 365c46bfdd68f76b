#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/movie_repair.h"

namespace {

struct Word {
    std::int32_t tag;  // as stored: negative for an optional tag
    std::uint16_t value;
};

std::vector<unsigned char> Bytes(const std::vector<Word>& words) {
    std::vector<unsigned char> bytes;
    for (const Word& w : words) {
        auto tag = static_cast<std::uint16_t>(w.tag);
        bytes.insert(
            bytes.end(),
            {static_cast<unsigned char>(tag >> 8), static_cast<unsigned char>(tag & 0xFF),
             static_cast<unsigned char>(w.value >> 8), static_cast<unsigned char>(w.value & 0xFF)});
    }
    return bytes;
}

struct Case {
    const char* what;
    std::vector<Word> words;
    bool found;
    std::uint16_t value;
};

TEST(FindHeaderTag, FindsTag20AsTheHeaderWordsAllow) {
    const Case cases[] = {
        {"plain", {{1, 9}, {20, 1920}}, true, 1920},
        {"optional tag", {{-20, 960}}, true, 960},
        {"tag 18 ends the search", {{18, 0}, {20, 1920}}, false, 0},
        {"tag 24 ends the search", {{24, 0}, {20, 1920}}, false, 0},
        {"a tag above 93 ends the search", {{100, 0}, {20, 1920}}, false, 0},
        {"0x4000 payload is skipped", {{0x4010, 2}, {20, 1920}, {0, 0}, {20, 256}}, true, 256},
        {"tag 2 payload is skipped", {{2, 1}, {20, 1920}, {20, 640}}, true, 640},
        {"0x2000 payload is skipped", {{0x2000, 2}, {20, 1}, {20, 2}, {20, 3}}, true, 3},
        {"0x21 payload is entered", {{0x2100, 2}, {20, 1920}, {0, 0}}, true, 1920},
        {"0x22 payload is entered", {{0x2200, 1}, {20, 720}}, true, 720},
        {"payload longer than the block", {{0x2001, 65535}, {20, 1920}}, false, 0},
        {"tag -32768 is examined and passed", {{-32768, 0}, {20, 44}}, true, 44},
        {"only empty words", {{0, 0}, {0, 0}, {0, 0}}, false, 0},
        {"empty", {}, false, 0},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = Bytes(c.words);
        std::uint16_t value = 7;
        bool found = CMovieRepair::FindHeaderTag(
            bytes.data(), static_cast<std::int32_t>(bytes.size()), 20, &value);
        EXPECT_EQ(found, c.found) << c.what;
        EXPECT_EQ(value, c.found ? c.value : 7) << c.what;  // untouched when not found
    }
}

TEST(FindHeaderTag, APayloadReachingPastABlockOfRealSizeEndsTheSearch) {
    std::vector<unsigned char> block = Bytes({{0x2001, 65535}});
    block.resize(4096);
    std::uint16_t value = 0;
    EXPECT_FALSE(CMovieRepair::FindHeaderTag(block.data(), 4096, 20, &value));
}

TEST(FindHeaderTag, ATrailingPieceShorterThanAWordEndsTheSearch) {
    // Six bytes: one word, then a two-byte piece read as the fill word.
    std::vector<unsigned char> bytes = Bytes({{1, 9}, {20, 1920}});
    std::uint16_t value = 0;
    EXPECT_FALSE(CMovieRepair::FindHeaderTag(bytes.data(), 6, 20, &value));
    EXPECT_TRUE(CMovieRepair::FindHeaderTag(bytes.data(), 8, 20, &value));
    EXPECT_FALSE(CMovieRepair::FindHeaderTag(bytes.data(), 0, 1, &value));
    // The search stays inside the length it is given, even with more bytes behind it.
    EXPECT_FALSE(CMovieRepair::FindHeaderTag(bytes.data(), 4, 20, &value));
}

}  // namespace

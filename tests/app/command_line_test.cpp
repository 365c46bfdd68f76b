#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/movie_repair.h"

namespace {

TEST(ParseLenientNumber, ReadsLeadingDigitsAndClampsToThe32BitRange) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"2048", 2048},
        {"  -25", -25},
        {"+7", 7},
        {"25fps", 25},
        {"fps", 0},
        {"", 0},
        {"-", 0},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999", -2147483647 - 1},
        {"99999999999999999999999", 2147483647},
        {"12 34", 12},
        {"\t\n 5", 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseLenientNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(MakeOutputPath, CutsBeforeTheLastDotAnywhereInThePath) {
    const struct {
        const char* source;
        const char* output;
    } cases[] = {
        {"D:\\clips\\take.mov", "D:\\clips\\take-new.mov"},
        {"take.final.mov", "take.final-new.mov"},
        {"take", "take-new.mov"},
        {"D:\\clips.old\\take", "D:\\clips-new.mov"},
        {".mov", "-new.mov"},
        {"/media/card/clip.MOV", "/media/card/clip-new.mov"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MakeOutputPath(c.source), c.output) << c.source;
    }
}

TEST(SetFrameRate, MapsTheRateTableAndKeeps24FpsOtherwise) {
    const struct {
        std::int32_t rate;
        bool known;
        std::uint16_t timeScale;
        std::int32_t duration;
    } cases[] = {
        {23976, true, 24000, 1001}, {23980, true, 24000, 1001}, {24000, true, 24, 1},
        {25000, true, 25, 1},       {29970, true, 30000, 1001}, {30000, true, 30, 1},
        {48000, true, 48, 1},       {50000, true, 50, 1},       {59940, true, 60000, 1001},
        {60000, true, 60, 1},       {25, false, 24, 1},         {0, false, 24, 1},
        {-25000, false, 24, 1},
    };
    for (const auto& c : cases) {
        CMovieRepair job;
        EXPECT_EQ(job.SetFrameRate(c.rate), c.known) << c.rate;
        EXPECT_EQ(job.TimeScale(), c.timeScale) << c.rate;
        EXPECT_EQ(job.SampleDuration(), c.duration) << c.rate;
    }
}

}  // namespace

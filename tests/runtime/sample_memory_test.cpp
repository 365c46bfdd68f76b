// Scale: an open movie holds at most 16 bytes per sample (12 while durations stay steady), plus
// the unused part of the last chunk of each column; a movie of a million samples is stored whole.
#include <gtest/gtest.h>
#include <malloc.h>

#include <filesystem>

#include "tests/runtime/movie_session.h"
#include "tests/support/ffprobe_report.h"
#include "tests/support/temp_files.h"

#if defined(__SANITIZE_ADDRESS__)
#define TARNWICK_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARNWICK_UNDER_SANITIZER 1
#endif
#endif

namespace tarnwick::test {
namespace {

constexpr std::size_t kSamples = 1'000'000;

// Samples of 12 bytes; every fourth leaves a gap so that chunks vary in length.
std::uint64_t OffsetOf(std::size_t i) {
    return i * 12 + (i / 4) * 4;
}

// Room for the partly filled last chunks and the chunk lists.
constexpr std::size_t kChunkAllowance = 128 * 1024;

struct MemoryCase {
    const char* name;
    std::size_t bytesPerSample;
    TimeValue (*duration)(std::size_t);
    bool (*sync)(std::size_t);
};

const MemoryCase kMemoryCases[] = {
    {"SteadyDurations", 12, [](std::size_t) { return TimeValue{1}; },
     [](std::size_t i) { return i % 12 == 0; }},
    {"EveryDurationDiffers", 16, [](std::size_t i) { return static_cast<TimeValue>(1 + i % 2); },
     [](std::size_t i) { return i % 2 == 0; }},
};

TEST(SampleMemory, OpenMovieHoldsAtMostSixteenBytesPerSample) {
#ifdef TARNWICK_UNDER_SANITIZER
    GTEST_SKIP() << "the sanitizer's allocator keeps its own books";
#endif
    for (const MemoryCase& c : kMemoryCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        MovieSession session;
        ASSERT_EQ(session.Create(Utf8FromPath(dir / "take-new.mov")), noErr);
        ASSERT_EQ(session.AddVideoTrack(Utf8FromPath(dir / "take.mov")), noErr);
        const std::size_t before = mallinfo2().uordblks;
        for (std::size_t i = 0; i < kSamples; ++i) {
            ASSERT_EQ(session.AddFrame(OffsetOf(i), 12, c.duration(i), c.sync(i)), noErr);
        }
        const std::size_t after = mallinfo2().uordblks;
        EXPECT_LE(after - before, c.bytesPerSample * kSamples + kChunkAllowance);
        CloseMovieStorage(session.dataHandler());
    }
}

TEST(SampleMemory, MillionSampleMovieIsStoredWhole) {
    TempDir dir;
    const auto source = dir / "take.mov";
    WriteFileText(source, "");
    std::filesystem::resize_file(source, OffsetOf(kSamples));
    MovieSession session;
    ASSERT_EQ(session.Create(Utf8FromPath(dir / "take-new.mov")), noErr);
    ASSERT_EQ(session.AddVideoTrack(Utf8FromPath(source)), noErr);
    for (std::size_t i = 0; i < kSamples; ++i) {
        ASSERT_EQ(session.AddFrame(OffsetOf(i), 12, 1, i % 12 == 0), noErr);
    }
    ASSERT_EQ(session.Close(), noErr);
    EXPECT_EQ(CountPackets(dir / "take-new.mov"), static_cast<std::int64_t>(kSamples));
}

}  // namespace
}  // namespace tarnwick::test

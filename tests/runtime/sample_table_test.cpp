// The sample table gives back what was added, whether durations are kept as runs or, once runs
// grow costly, one per sample.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/sample_table.h"

namespace {

using namespace tarnwick::runtime;

std::vector<std::pair<std::uint32_t, std::int32_t>> RunsOf(const SampleTable& table) {
    std::vector<std::pair<std::uint32_t, std::int32_t>> runs;
    table.ForEachDurationRun(
        [&](const DurationRun& run) { runs.emplace_back(run.count, run.duration); });
    return runs;
}

struct DurationPattern {
    const char* name;
    std::size_t samples;
    std::int32_t (*duration)(std::size_t);
};

TEST(SampleTable, GivesBackSamplesAndDurationRuns) {
    const DurationPattern patterns[] = {
        {"steady", 5000, [](std::size_t) { return 1; }},
        {"changing now and then", 5000, [](std::size_t i) { return static_cast<int>(1 + i / 7); }},
        {"changing every sample", 5000, [](std::size_t i) { return static_cast<int>(1 + i % 2); }},
        {"steady after changing", 9000,
         [](std::size_t i) { return i < 4000 ? static_cast<int>(1 + i % 3) : 5; }},
    };
    for (const DurationPattern& pattern : patterns) {
        SCOPED_TRACE(pattern.name);
        SampleTable table;
        std::vector<std::pair<std::uint32_t, std::int32_t>> expectedRuns;
        std::int64_t total = 0;
        for (std::size_t i = 0; i < pattern.samples; ++i) {
            const std::int32_t duration = pattern.duration(i);
            table.Append({(std::uint64_t{1} << 40) + i * 100, static_cast<std::uint32_t>(i + 1),
                          duration, i % 3 != 0});
            if (!expectedRuns.empty() && expectedRuns.back().second == duration) {
                ++expectedRuns.back().first;
            } else {
                expectedRuns.emplace_back(1, duration);
            }
            total += duration;
        }
        EXPECT_EQ(RunsOf(table), expectedRuns);
        EXPECT_EQ(table.TotalDuration(), total);
        ASSERT_EQ(table.Count(), pattern.samples);
        EXPECT_EQ(table.SyncCount(), pattern.samples - (pattern.samples + 2) / 3);
        for (std::size_t i = 0; i < pattern.samples; ++i) {
            ASSERT_EQ(table.OffsetAt(i), (std::uint64_t{1} << 40) + i * 100) << i;
            ASSERT_EQ(table.SizeAt(i), i + 1) << i;
            ASSERT_EQ(table.IsSyncAt(i), i % 3 != 0) << i;
        }
    }
}

}  // namespace

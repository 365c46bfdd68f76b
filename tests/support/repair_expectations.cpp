#include "tests/support/repair_expectations.h"

#include <gtest/gtest.h>

#include <cinttypes>

#include "tests/support/ffprobe_report.h"
#include "tests/support/md5.h"

namespace tarnwick::test {

std::string Opening(const std::string& source, const std::string& output, int width, int height,
                    double fps) {
    return Line("Input file: %s\n", source.c_str()) +
           Line("Destination file: %s\n", output.c_str()) +
           Line("Creating reference movie width: %d height: %d fps: %f\n", width, height, fps);
}

std::string Progress(const std::vector<Frame>& frames, std::uint64_t sourceSize) {
    std::string text;
    for (std::size_t i = 1; i < frames.size(); ++i) {
        float percent = static_cast<float>(static_cast<double>(frames[i].end) * 100.0 /
                                           static_cast<double>(sourceSize));
        text += Line("Frame %zu [I frame] at file position %" PRIu64 "  %.1f%% complete\n", i,
                     frames[i].start, percent);
    }
    const int rescued = frames.empty() ? 0 : static_cast<int>(frames.size()) - 1;
    return text + Line("ProcessQT extracted: %d frames\n", rescued);
}

void ExpectMovieOfFrames(const std::filesystem::path& movie, const std::filesystem::path& source,
                         const std::vector<Frame>& frames, int width, int height,
                         const std::string& timeBase, std::int64_t duration) {
    ProbeReport report = ProbeMovie(movie);
    ASSERT_TRUE(report.ok) << report.output;
    ASSERT_EQ(report.streams.size(), 1u) << report.output;
    if (frames.size() > 1) {  // a media without samples has no sample description in use
        EXPECT_EQ(report.streams[0].codecTagString, "VXHD");
    }
    EXPECT_EQ(report.streams[0].width, width);
    EXPECT_EQ(report.streams[0].height, height);
    EXPECT_EQ(report.streams[0].timeBase, timeBase);
    ASSERT_EQ(report.packets.size(), frames.empty() ? 0 : frames.size() - 1) << report.output;
    for (std::size_t i = 0; i < report.packets.size(); ++i) {
        const Frame& frame = frames[i + 1];
        const ProbedPacket& packet = report.packets[i];
        EXPECT_EQ(packet.pos, static_cast<std::int64_t>(frame.start)) << i;
        EXPECT_EQ(packet.size, static_cast<std::int64_t>(frame.end - frame.start)) << i;
        EXPECT_EQ(packet.duration, duration) << i;
        EXPECT_TRUE(packet.key) << i;
        EXPECT_EQ(packet.dataHash, DataHashOfRange(source, frame.start, frame.end - frame.start))
            << i;
    }
}

}  // namespace tarnwick::test

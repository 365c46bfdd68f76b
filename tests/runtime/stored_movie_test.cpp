// Stored movies as ffmpeg reads them: every packet must come from the source file, through the
// movie's data reference, with the frame's offset, size, duration, key flag and bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/runtime/movie_session.h"
#include "tests/support/ffprobe_report.h"
#include "tests/support/md5.h"
#include "tests/support/temp_files.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;

struct Frame {
    std::uint64_t offset;
    std::uint32_t size;
    TimeValue duration;
    bool sync;
};

// A source file whose bytes differ everywhere, long enough for the frames.
void WriteSource(const fs::path& path, std::size_t size) {
    fs::create_directories(path.parent_path());
    WriteFileBytes(path, PatternBytes(size, 7));
}

OSErr StoreMovie(const fs::path& movie, const fs::path& source, const std::vector<Frame>& frames,
                 const VideoFormat& format = {}) {
    MovieSession session;
    EXPECT_EQ(session.Create(Utf8FromPath(movie)), noErr);
    EXPECT_EQ(session.AddVideoTrack(Utf8FromPath(source), format), noErr);
    for (const Frame& frame : frames) {
        EXPECT_EQ(session.AddFrame(frame.offset, frame.size, frame.duration, frame.sync), noErr);
    }
    return session.Close();
}

// ffprobe finds one VXHD stream of the format and exactly these frames, read from the source.
void ExpectMovieReads(const fs::path& movie, const fs::path& source,
                      const std::vector<Frame>& frames, const VideoFormat& format = {}) {
    const ProbeReport report = ProbeMovie(movie);
    ASSERT_TRUE(report.ok) << report.output;
    ASSERT_EQ(report.streams.size(), 1u);
    EXPECT_EQ(report.streams[0].codecTagString, "VXHD");
    EXPECT_EQ(report.streams[0].width, format.width);
    EXPECT_EQ(report.streams[0].height, format.height);
    EXPECT_EQ(report.streams[0].timeBase, "1/" + std::to_string(format.timeScale));
    ASSERT_EQ(report.packets.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const ProbedPacket& packet = report.packets[i];
        EXPECT_EQ(packet.pos, static_cast<std::int64_t>(frames[i].offset));
        EXPECT_EQ(packet.size, frames[i].size);
        EXPECT_EQ(packet.duration, frames[i].duration);
        EXPECT_EQ(packet.key, frames[i].sync);
        EXPECT_EQ(packet.dataHash, DataHashOfRange(source, frames[i].offset, frames[i].size));
    }
}

// Frames back to back, with gaps, of differing sizes and durations, one not sync.
const std::vector<Frame> kFrames = {
    {0, 48, 1, true},   {48, 100, 1, true}, {148, 12, 2, false},
    {400, 64, 1, true}, {464, 64, 1, true}, {1000, 24, 3, true},
};

struct Placement {
    const char* name;
    const char* sourcePath;  // inside the test folder
    const char* moviePath;
};

void PrintTo(const Placement& placement, std::ostream* out) {
    *out << placement.name;
}

class StoredMovieTest : public ::testing::TestWithParam<Placement> {};

TEST_P(StoredMovieTest, FramesAreReadFromTheSourceThroughTheReference) {
    TempDir dir;
    const fs::path source = dir / GetParam().sourcePath;
    const fs::path movie = dir / GetParam().moviePath;
    WriteSource(source, 2048);
    fs::create_directories(movie.parent_path());
    ASSERT_EQ(StoreMovie(movie, source, kFrames), noErr);
    ExpectMovieReads(movie, source, kFrames);
}

INSTANTIATE_TEST_SUITE_P(
    Placements, StoredMovieTest,
    ::testing::Values(Placement{"SameFolder", "clips/take.mov", "clips/take-new.mov"},
                      Placement{"NonAsciiFolders", "Aufnahmen für März/映像 ✓/take.mov",
                                "Aufnahmen für März/映像 ✓/take-new.mov"},
                      Placement{"MovieOneFolderAboveSource", "D/clips.old/take", "D/clips-new.mov"},
                      Placement{"MovieInSiblingFolder", "work/source/take.mov",
                                "work/rescued/take-new.mov"},
                      Placement{"SourceDeeperBelowMovie", "a/b/c/take.mov", "a/take-new.mov"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoredMovie, MovedTogetherWithItsSourceStillReadsIt) {
    TempDir dir;
    const fs::path source = dir / "old place/take.mov";
    const fs::path movie = dir / "old place/take-new.mov";
    WriteSource(source, 2048);
    ASSERT_EQ(StoreMovie(movie, source, kFrames), noErr);

    fs::create_directories(dir / "new/deeper");
    fs::rename(dir / "old place", dir / "new/deeper/moved");
    // Something else now lies at the old path, so reading the old absolute path would show.
    fs::create_directories(source.parent_path());
    WriteFileText(source, std::string(2048, 'x'));

    ExpectMovieReads(dir / "new/deeper/moved/take-new.mov", dir / "new/deeper/moved/take.mov",
                     kFrames);
}

TEST(StoredMovie, MovieWithoutSamplesHasOneStreamAndNoPackets) {
    TempDir dir;
    WriteSource(dir / "take.mov", 64);
    ASSERT_EQ(StoreMovie(dir / "take-new.mov", dir / "take.mov", {}), noErr);
    const ProbeReport report = ProbeMovie(dir / "take-new.mov");
    ASSERT_TRUE(report.ok) << report.output;
    EXPECT_EQ(report.streams.size(), 1u);
    EXPECT_TRUE(report.packets.empty());
}

// A writer stores what it has even after a step failed: a movie without a track, or a track
// whose media never got its source reference.
TEST(StoredMovie, IncompleteMoviesStillOpen) {
    TempDir dir;
    WriteSource(dir / "take.mov", 64);
    {
        MovieSession session;
        ASSERT_EQ(session.Create(Utf8FromPath(dir / "no-track.mov")), noErr);
        ASSERT_EQ(session.Close(), noErr);
    }
    {
        MovieSession session;
        ASSERT_EQ(session.Create(Utf8FromPath(dir / "no-reference.mov")), noErr);
        EXPECT_NE(session.AddVideoTrack("/"), noErr);  // no reference can be made from "/"
        ASSERT_EQ(session.Close(), noErr);
    }
    const ProbeReport noTrack = ProbeMovie(dir / "no-track.mov");
    ASSERT_TRUE(noTrack.ok) << noTrack.output;
    EXPECT_TRUE(noTrack.streams.empty());
    const ProbeReport noReference = ProbeMovie(dir / "no-reference.mov");
    ASSERT_TRUE(noReference.ok) << noReference.output;
    EXPECT_EQ(noReference.streams.size(), 1u);
    EXPECT_TRUE(noReference.packets.empty());
}

TEST(StoredMovie, SampleBeyondFourGibibytesKeepsItsWholeOffset) {
    TempDir dir;
    const fs::path source = dir / "take.mov";
    const std::uint64_t farOffset = (std::uint64_t{5} << 30) + 16;
    {
        // A sparse file: only the frames' bytes are written.
        std::ofstream out(source, std::ios::binary);
        const std::vector<std::uint8_t> bytes = PatternBytes(64, 3);
        out.write(reinterpret_cast<const char*>(bytes.data()), 64);
        out.seekp(static_cast<std::streamoff>(farOffset));
        out.write(reinterpret_cast<const char*>(bytes.data()), 64);
    }
    const std::vector<Frame> frames = {{0, 64, 1, true}, {farOffset, 64, 1, true}};
    ASSERT_EQ(StoreMovie(dir / "take-new.mov", source, frames), noErr);
    ExpectMovieReads(dir / "take-new.mov", source, frames);
}

TEST(StoredMovie, DurationsKeepTheirFullLengthInAnOddTimeScale) {
    TempDir dir;
    WriteSource(dir / "take.mov", 256);
    const VideoFormat format{720, 576, 2997};
    const std::vector<Frame> frames = {{0, 32, 100, true}, {32, 32, 100, false}, {64, 32, 7, true}};
    ASSERT_EQ(StoreMovie(dir / "take-new.mov", dir / "take.mov", frames, format), noErr);
    ExpectMovieReads(dir / "take-new.mov", dir / "take.mov", frames, format);
}

}  // namespace
}  // namespace tarnwick::test

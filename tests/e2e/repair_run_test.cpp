// Runs the built tool on generated damaged movies and checks everything a user sees: the console,
// the exit status, the source left as it was, and the movie as ffprobe reads it through its data
// reference.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ffprobe_report.h"
#include "tests/support/md5.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_files.h"

namespace {

namespace fs = std::filesystem;
using namespace tarnwick::test;

struct Frame {
    std::uint64_t start;
    std::uint64_t end;
};

// Generates a damaged movie and returns its frames in file order.
std::vector<Frame> Generate(const fs::path& movie, std::vector<std::string> options = {}) {
    fs::path manifest = movie.string() + ".frames";
    std::vector<std::string> command = {TARNWICK_GENERATOR, movie.string(), "--manifest",
                                        manifest.string()};
    command.insert(command.end(), options.begin(), options.end());
    EXPECT_EQ(RunProgram(command).exitCode, 0);
    std::vector<Frame> frames;
    std::ifstream in(manifest);
    for (Frame f{}; in >> f.start >> f.end;) {
        frames.push_back(f);
    }
    fs::remove(manifest);
    return frames;
}

// Runs the tool from folder with the given arguments.
ProgramResult RunTool(const fs::path& folder, std::vector<std::string> arguments) {
    fs::path before = fs::current_path();
    fs::current_path(folder);
    arguments.insert(arguments.begin(), TARNWICK_TOOL);
    ProgramResult result = RunProgram(arguments);
    fs::current_path(before);
    return result;
}

std::string Line(const char* format, auto... values) {
    char text[1024];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string Opening(const std::string& source, const std::string& output, int width, int height,
                    double fps) {
    return Line("Input file: %s\n", source.c_str()) +
           Line("Destination file: %s\n", output.c_str()) +
           Line("Creating reference movie width: %d height: %d fps: %f\n", width, height, fps);
}

// The progress lines and the report for the frames after the first.
std::string Progress(const std::vector<Frame>& frames, std::uint64_t sourceSize) {
    std::string text;
    for (std::size_t i = 1; i < frames.size(); ++i) {
        float percent = static_cast<float>(static_cast<double>(frames[i].end) * 100.0 /
                                           static_cast<double>(sourceSize));
        text += Line("Frame %zu [I frame] at file position %" PRIu64 "  %.1f%% complete\n", i,
                     frames[i].start, percent);
    }
    return text + Line("ProcessQT extracted: %d frames\n", static_cast<int>(frames.size()) - 1);
}

// The movie holds every frame after the first, each read through the reference in full.
void ExpectMovieOfFrames(const fs::path& movie, const fs::path& source,
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

std::string HashOfFile(const fs::path& file) {
    return DataHashOfRange(file, 0, fs::file_size(file));
}

class RepairRun : public testing::Test {
  protected:
    TempDir dir;
};

TEST_F(RepairRun, RescuesEveryFrameAfterTheFirstAndTakesTheSizeFromTheHeader) {
    struct Case {
        const char* what;
        std::vector<std::string> generator;
        std::vector<std::string> size;  // width, height, rate as typed
        int shownWidth, shownHeight;
        double fps;
        int trackWidth, trackHeight;
        const char* timeBase;
        std::int64_t duration;
    };
    const Case cases[] = {
        {"544 lines are shown as 540",
         {},
         {"2048", "1152", "25000"},
         2048,
         1152,
         25.0,
         1920,
         1080,
         "1/25",
         1},
        {"NTSC rate",
         {"--header-height", "548"},
         {"2048", "1152", "23976"},
         2048,
         1152,
         23.976,
         1920,
         1096,
         "1/24000",
         1001},
        {"no header: the command line's size in 16 bits, a rate outside the table",
         {"--no-header"},
         {"70000", "1152", "25"},
         70000,
         1152,
         0.025,
         4464,
         1152,
         "1/24",
         1},
        {"lenient numbers",
         {"--no-header", "--frames", "3"},
         {"640px", "480p", "59940"},
         640,
         480,
         59.94,
         640,
         480,
         "1/60000",
         1001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::path source = dir / "take.mov";
        std::vector<Frame> frames = Generate(source, c.generator);
        std::string before = HashOfFile(source);
        ProgramResult run = RunTool(dir.path(), {c.size[0], c.size[1], c.size[2], "take.mov"});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output,
                  Opening("take.mov", "take-new.mov", c.shownWidth, c.shownHeight, c.fps) +
                      Progress(frames, fs::file_size(source)));
        EXPECT_EQ(HashOfFile(source), before);
        ExpectMovieOfFrames(dir / "take-new.mov", source, frames, c.trackWidth, c.trackHeight,
                            c.timeBase, c.duration);
    }
}

TEST_F(RepairRun, FewerThanFourArgumentsPrintUsageAndFurtherOnesAreIgnored) {
    ProgramResult usage = RunTool(dir.path(), {"2048", "1152", "25000"});
    EXPECT_EQ(usage.exitCode, 0);
    EXPECT_EQ(
        usage.output,
        "Usage: Tarnwick.exe 2048 1152 25000 c:path\\bad_movie.mov (width height fps path)\n");

    std::vector<Frame> frames = Generate(dir / "take.mov", {"--frames", "2"});
    ProgramResult run = RunTool(dir.path(), {"2048", "1152", "25000", "take.mov", "extra"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, Opening("take.mov", "take-new.mov", 2048, 1152, 25.0) +
                              Progress(frames, fs::file_size(dir / "take.mov")));
}

TEST_F(RepairRun, ASourceWithoutTwoCompleteFramesGivesAnEmptyMovie) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* error;
        int exitCode;
    };
    const Case cases[] = {
        {"empty", {}, "ERROR:  parsing Vellix bitstream failed\n", 1},
        {"a start word without an end",
         {0, 1, 0, 9, 1, 2, 3, 4},
         "ERROR:  parsing Vellix bitstream failed\n",
         1},
        {"one frame only positions the header read",
         {0, 1, 0, 9, 0, 4, 0x0C, 0x0C, 0, 0x18, 0, 0},
         "",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(dir / "take.mov", c.bytes);
        ProgramResult run = RunTool(dir.path(), {"2048", "1152", "25000", "take.mov"});
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.output, Opening("take.mov", "take-new.mov", 2048, 1152, 25.0) + c.error +
                                  "ProcessQT extracted: 0 frames\n");
        ExpectMovieOfFrames(dir / "take-new.mov", dir / "take.mov", {}, 2048, 1152, "1/25", 1);
    }
}

TEST_F(RepairRun, ASourceThatCannotBeReadMakesNoMovie) {
    fs::create_directory(dir / "folder.mov");
    const std::pair<const char*, const char*> cases[] = {{"missing.mov", "missing-new.mov"},
                                                         {"folder.mov", "folder-new.mov"}};
    for (auto [source, output] : cases) {
        SCOPED_TRACE(source);
        ProgramResult run = RunTool(dir.path(), {"2048", "1152", "25000", source});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.output, Opening(source, output, 2048, 1152, 25.0) +
                                  Line("ERROR:  Could not open: %s\n", source));
        EXPECT_FALSE(fs::exists(dir / output));
    }
}

TEST_F(RepairRun, AnOutputPathThatIsTheSourceThroughALinkLeavesTheSourceAlone) {
    for (bool symbolic : {true, false}) {
        SCOPED_TRACE(symbolic ? "symbolic link" : "hard link");
        TempDir folder;
        Generate(folder / "take.mov", {"--frames", "3"});
        std::string before = HashOfFile(folder / "take.mov");
        if (symbolic) {
            fs::create_symlink("take.mov", folder / "take-new.mov");
        } else {
            fs::create_hard_link(folder / "take.mov", folder / "take-new.mov");
        }
        ProgramResult run = RunTool(folder.path(), {"2048", "1152", "25000", "take.mov"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.output, Opening("take.mov", "take-new.mov", 2048, 1152, 25.0) +
                                  "ERROR:  Could not create: take-new.mov\n");
        EXPECT_EQ(HashOfFile(folder / "take.mov"), before);
        EXPECT_EQ(HashOfFile(folder / "take-new.mov"), before);
    }
}

TEST_F(RepairRun, AnOldOutputIsReplacedAndALinkedSourceIsRead) {
    std::vector<Frame> frames = Generate(dir / "elsewhere.mov", {"--frames", "4"});
    fs::create_symlink(dir / "elsewhere.mov", dir / "take.mov");
    WriteFileText(dir / "take-new.mov", "an old movie");
    ProgramResult run = RunTool(dir.path(), {"2048", "1152", "25000", "take.mov"});
    EXPECT_EQ(run.exitCode, 0);
    ExpectMovieOfFrames(dir / "take-new.mov", dir / "elsewhere.mov", frames, 1920, 1080, "1/25", 1);
    EXPECT_TRUE(fs::is_symlink(dir / "take.mov"));
}

TEST_F(RepairRun, FramesPast4GiBAreFoundAndReferencedAtTheirTrueOffsets) {
    fs::path source = dir / "take.mov";
    std::vector<Frame> frames =
        Generate(source, {"--gap-before", "4294967288", "--frames", "4", "--frame-bytes", "40000"});
    ASSERT_GT(frames[1].start, 0xFFFFFFFFu);
    ProgramResult run = RunTool(dir.path(), {"2048", "1152", "25000", "take.mov"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, Opening("take.mov", "take-new.mov", 2048, 1152, 25.0) +
                              Progress(frames, fs::file_size(source)));
    ExpectMovieOfFrames(dir / "take-new.mov", source, frames, 1920, 1080, "1/25", 1);
}

// Wherever the movie is written and however the source is named, ffmpeg finds the source from
// the movie's own folder.
TEST_F(RepairRun, TheMovieFindsItsSourceFromItsOwnFolder) {
    struct Case {
        const char* what;
        const char* folder;  // below the test folder, where the source lies
        const char* source;  // as typed, from the test folder
        const char* movie;   // where the movie appears, from the test folder
    };
    const Case cases[] = {
        {"relative path into a folder", "clips", "clips/take.mov", "clips/take-new.mov"},
        {"non-ASCII folder and file names", "Aufnahmen Über", "Aufnahmen Über/Straße.mov",
         "Aufnahmen Über/Straße-new.mov"},
        {"the movie one folder above its source", "clips.old", "clips.old/take", "clips-new.mov"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir top;
        fs::create_directories(top / c.folder);
        std::vector<Frame> frames = Generate(top / c.source, {"--frames", "3"});
        for (bool absolute : {false, true}) {
            std::string typed = absolute ? Utf8FromPath(top / c.source) : c.source;
            ProgramResult run = RunTool(top.path(), {"2048", "1152", "25000", typed});
            EXPECT_EQ(run.exitCode, 0) << run.output;
            ExpectMovieOfFrames(top / c.movie, top / c.source, frames, 1920, 1080, "1/25", 1);
        }
        // Moved together, the two still play.
        TempDir moved;
        fs::rename(top.path(), moved / "moved");
        ExpectMovieOfFrames(moved / "moved" / c.movie, moved / "moved" / c.source, frames, 1920,
                            1080, "1/25", 1);
        fs::rename(moved / "moved", top.path());
    }
}

}  // namespace

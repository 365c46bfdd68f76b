// Runs the built tool on generated damaged movies and checks everything a user sees: the console,
// the exit status, the source left as it was, and the movie as ffprobe reads it through its data
// reference.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/md5.h"
#include "tests/support/repair_expectations.h"
#include "tests/support/temp_files.h"
#include "tests/support/tool_runs.h"

namespace {

namespace fs = std::filesystem;
using namespace tarnwick::test;

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
        std::vector<Frame> frames = GenerateDamagedMovie(source, c.generator);
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

    std::vector<Frame> frames = GenerateDamagedMovie(dir / "take.mov", {"--frames", "2"});
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
        GenerateDamagedMovie(folder / "take.mov", {"--frames", "3"});
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
    std::vector<Frame> frames = GenerateDamagedMovie(dir / "elsewhere.mov", {"--frames", "4"});
    fs::create_symlink(dir / "elsewhere.mov", dir / "take.mov");
    WriteFileText(dir / "take-new.mov", "an old movie");
    ProgramResult run = RunTool(dir.path(), {"2048", "1152", "25000", "take.mov"});
    EXPECT_EQ(run.exitCode, 0);
    ExpectMovieOfFrames(dir / "take-new.mov", dir / "elsewhere.mov", frames, 1920, 1080, "1/25", 1);
    EXPECT_TRUE(fs::is_symlink(dir / "take.mov"));
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
        std::vector<Frame> frames = GenerateDamagedMovie(top / c.source, {"--frames", "3"});
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

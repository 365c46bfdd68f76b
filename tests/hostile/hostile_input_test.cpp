// Runs the built tool on inputs a damaged disk or a careless user can hand it: a movie cut at any
// byte, frames around the 4 GiB line of a sparse file, sources that are no files, and outputs it
// cannot write. Every run checks the source is left as it was (RunTool).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/support/repair_expectations.h"
#include "tests/support/temp_files.h"
#include "tests/support/tool_runs.h"

namespace {

namespace fs = std::filesystem;
using namespace tarnwick::test;

const std::vector<std::string> kSize = {"2048", "1152", "25000"};

std::vector<std::string> Arguments(const std::string& source) {
    std::vector<std::string> arguments = kSize;
    arguments.push_back(source);
    return arguments;
}

std::set<std::string> Entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// The generator writes each frame's header as: start word, a counted tag with its one payload
// word, tag 20 (width 960), tag 21 (height 544). The header read after the first frame finds the
// size once the second frame's first 20 bytes are in the file.
constexpr std::uint64_t kHeaderSizeEnd = 20;

TEST(HostileInput, AMovieCutAtEveryByteGivesTheFramesThatAreWhole) {
    TempDir dir;
    const fs::path whole = dir / "whole.mov";
    const std::vector<Frame> frames =
        GenerateDamagedMovie(whole, {"--frames", "3", "--frame-bytes", "36", "--junk-bytes", "8"});
    const std::vector<std::uint8_t> bytes = ReadFileBytes(whole);
    ASSERT_EQ(frames.size(), 3u);

    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        WriteFileBytes(dir / "take.mov", {bytes.begin(), bytes.begin() + cut});
        std::vector<Frame> whole_frames;
        for (const Frame& frame : frames) {
            if (frame.end <= cut) {
                whole_frames.push_back(frame);
            }
        }
        const bool headerSize = whole_frames.size() >= 1 && cut >= frames[1].start + kHeaderSizeEnd;
        const int width = headerSize ? 1920 : 2048;
        const int height = headerSize ? 1080 : 1152;
        const std::string error =
            whole_frames.empty() ? "ERROR:  parsing Vellix bitstream failed\n" : "";

        const ProgramResult run = RunTool(dir.path(), Arguments("take.mov"));
        EXPECT_EQ(run.exitCode, whole_frames.empty() ? 1 : 0);
        EXPECT_EQ(run.output, Opening("take.mov", "take-new.mov", 2048, 1152, 25.0) + error +
                                  Progress(whole_frames, cut));
        ExpectMovieOfFrames(dir / "take-new.mov", dir / "take.mov", whole_frames, width, height,
                            "1/25", 1);
    }
}

// The second frame starts below 4 GiB and ends above it; the frames after it lie wholly above.
TEST(HostileInput, AFrameAcrossThe4GiBLineIsReferencedWhole) {
    TempDir dir;
    const fs::path source = dir / "take.mov";
    const std::uint64_t line = std::uint64_t{1} << 32;
    // The damaged movie's opening (28 bytes), the first frame and the zeros after it come first.
    const std::uint64_t gap = line - 20000 - 28 - 40000 - 100;
    const std::vector<Frame> frames =
        GenerateDamagedMovie(source, {"--gap-before", std::to_string(gap), "--frames", "3",
                                      "--frame-bytes", "40000", "--junk-bytes", "100"});
    ASSERT_EQ(frames.size(), 3u);
    ASSERT_LT(frames[1].start, line);
    ASSERT_GT(frames[1].end, line);
    ASSERT_GT(frames[2].start, line);

    const ProgramResult run = RunTool(dir.path(), Arguments("take.mov"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, Opening("take.mov", "take-new.mov", 2048, 1152, 25.0) +
                              Progress(frames, fs::file_size(source)));
    ExpectMovieOfFrames(dir / "take-new.mov", source, frames, 1920, 1080, "1/25", 1);
}

// A source that is no file to scan: a named pipe would block the open until a writer came, a
// device would never end, a link to itself leads nowhere.
TEST(HostileInput, ASourceThatIsNoFileIsRefusedWithoutWaiting) {
    struct Case {
        const char* what;
        void (*make)(const fs::path& source);
    };
    const Case cases[] = {
        {"named pipe", [](const fs::path& source) { ASSERT_EQ(mkfifo(source.c_str(), 0644), 0); }},
        {"link to an endless device",
         [](const fs::path& source) { fs::create_symlink("/dev/zero", source); }},
        {"link to itself",
         [](const fs::path& source) { fs::create_symlink(source.filename(), source); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        c.make(dir / "take.mov");
        const ProgramResult run = RunTool(dir.path(), Arguments("take.mov"));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.output, Opening("take.mov", "take-new.mov", 2048, 1152, 25.0) +
                                  "ERROR:  Could not open: take.mov\n");
        EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"take.mov"});
    }
}

// Outputs the file system will not make: a folder where the movie should go (it is kept as it
// is), and a name that "-new.mov" makes longer than a file name may be.
TEST(HostileInput, AnOutputThatCannotBeMadeIsReported) {
    struct Case {
        const char* what;
        std::string source;
        std::string output;
        bool folderAtOutput;
    };
    const std::string longName(248, 'a');  // 255 bytes at most in a name
    const Case cases[] = {
        {"a folder at the output path", "take.mov", "take-new.mov", true},
        {"an output name too long", longName, longName + "-new.mov", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        GenerateDamagedMovie(dir / c.source, {"--frames", "3"});
        std::set<std::string> entries = {c.source};
        if (c.folderAtOutput) {
            fs::create_directory(dir / c.output);
            WriteFileText(dir / c.output / "keep.txt", "kept");
            entries.insert(c.output);
        }

        const ProgramResult run = RunTool(dir.path(), Arguments(c.source));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.output.find(Line("ERROR:  Could not create: %s\n", c.output.c_str())),
                  std::string::npos)
            << run.output;
        EXPECT_EQ(Entries(dir.path()), entries);
        if (c.folderAtOutput) {
            EXPECT_EQ(Entries(dir / c.output), std::set<std::string>{"keep.txt"});
        }
    }
}

// A disk that fills up while the movie is stored: files may grow to 512 bytes only, too little
// for the movie, and writing past that fails (the signal it would raise is ignored).
TEST(HostileInput, AMovieThatCannotBeStoredIsReportedAndTheOldOneKept) {
    TempDir dir;
    const std::vector<Frame> frames = GenerateDamagedMovie(dir / "take.mov", {"--frames", "4"});
    WriteFileText(dir / "take-new.mov", "an old movie");
    const std::vector<std::string> fullDisk = {"sh", "-c",
                                               "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\""};

    const ProgramResult run = RunTool(dir.path(), Arguments("take.mov"), fullDisk);
    EXPECT_EQ(run.exitCode, 1);
    const std::string progress = Progress(frames, fs::file_size(dir / "take.mov"));
    const std::size_t report = progress.rfind("ProcessQT");
    EXPECT_EQ(run.output, Opening("take.mov", "take-new.mov", 2048, 1152, 25.0) +
                              progress.substr(0, report) +
                              "ERROR:  Could not create: take-new.mov\n" + progress.substr(report));
    EXPECT_EQ(ReadFileBytes(dir / "take-new.mov").size(), 12u);
    EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"take.mov", "take-new.mov"}));
}

// The command that runs the rest of its command line as an ordinary user: none is needed when the
// tests already run as one.
std::vector<std::string> OrdinaryUserLauncher() {
    if (geteuid() != 0) {
        return {};
    }
    return {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
}

// Permissions bind only an ordinary user, so the tool runs as one (as nobody under the
// superuser).
TEST(HostileInput, FoldersAndFilesWithoutPermissionAreReported) {
    const std::vector<std::string> launcher = OrdinaryUserLauncher();
    {
        TempDir probe;
        fs::permissions(probe.path(), fs::perms::others_read | fs::perms::others_exec,
                        fs::perm_options::add);
        if (RunTool(probe.path(), {}, launcher).exitCode != 0) {
            GTEST_SKIP() << "the tool cannot be run as an ordinary user here (setpriv missing, or "
                            "the build folder is closed to other users)";
        }
    }
    struct Case {
        const char* what;
        fs::perms folder;  // for everyone
        fs::perms source;  // for everyone
        const char* error;
    };
    const fs::perms readable =
        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const fs::perms traversable =
        readable | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    const Case cases[] = {
        {"an output folder that cannot be written", traversable, readable,
         "ERROR:  Could not create: take-new.mov\n"},
        {"a source that cannot be read", fs::perms::all, fs::perms::none,
         "ERROR:  Could not open: take.mov\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const fs::path folder = dir / "clips";
        fs::create_directory(folder);
        GenerateDamagedMovie(folder / "take.mov", {"--frames", "3"});
        fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec,
                        fs::perm_options::add);
        fs::permissions(folder / "take.mov", c.source);
        fs::permissions(folder, c.folder);

        const ProgramResult run = RunTool(folder, Arguments("take.mov"), launcher);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.output, Opening("take.mov", "take-new.mov", 2048, 1152, 25.0) + c.error);
        EXPECT_EQ(Entries(folder), std::set<std::string>{"take.mov"});
    }
}

}  // namespace

// Movie storage: which paths take a movie, how an old file or a link is replaced, and that a
// failed or abandoned store leaves the old file and no half-written one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "tests/runtime/movie_session.h"
#include "tests/support/ffprobe_report.h"
#include "tests/support/temp_files.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kReplace = static_cast<std::int32_t>(0x90000000u);
constexpr std::int32_t kKeep = 0x10000000;

std::set<std::string> Entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Stores a one-frame movie of source at movie; the result of the first failing step.
OSErr StoreOneFrame(const fs::path& movie, const fs::path& source, std::int32_t flags) {
    MovieSession session;
    if (const OSErr error = session.Create(Utf8FromPath(movie), flags); error != noErr) {
        return error;
    }
    EXPECT_EQ(session.AddVideoTrack(Utf8FromPath(source)), noErr);
    EXPECT_EQ(session.AddFrame(0, 16), noErr);
    return session.Close();
}

bool IsMovieOfOneFrame(const fs::path& movie) {
    const ProbeReport report = ProbeMovie(movie);
    return report.ok && report.packets.size() == 1;
}

class MovieStorageTest : public ::testing::Test {
  protected:
    void SetUp() override { WriteFileBytes(source_, PatternBytes(64, 1)); }

    TempDir dir_;
    fs::path source_ = dir_ / "take.mov";
    fs::path movie_ = dir_ / "take-new.mov";
};

TEST_F(MovieStorageTest, OldFileIsReplacedOnlyWhenTheMovieIsStored) {
    WriteFileText(movie_, "old movie");
    MovieSession session;
    ASSERT_EQ(session.Create(Utf8FromPath(movie_)), noErr);
    ASSERT_EQ(session.AddVideoTrack(Utf8FromPath(source_)), noErr);
    ASSERT_EQ(session.AddFrame(0, 16), noErr);
    EXPECT_EQ(ReadFileBytes(movie_).size(), 9u) << "the old file is untouched until the store";
    EXPECT_EQ(Entries(dir_.path()), (std::set<std::string>{"take.mov", "take-new.mov"}))
        << "a run stopped before the store leaves nothing behind";
    ASSERT_EQ(session.Close(), noErr);
    EXPECT_TRUE(IsMovieOfOneFrame(movie_));
    EXPECT_EQ(Entries(dir_.path()), (std::set<std::string>{"take.mov", "take-new.mov"}));
}

TEST_F(MovieStorageTest, ExistingFileIsKeptWithoutTheReplaceFlag) {
    WriteFileText(movie_, "old movie");
    EXPECT_NE(StoreOneFrame(movie_, source_, kKeep), noErr);
    EXPECT_EQ(ReadFileBytes(movie_).size(), 9u);
    EXPECT_EQ(StoreOneFrame(dir_ / "fresh.mov", source_, kKeep), noErr);
    EXPECT_TRUE(IsMovieOfOneFrame(dir_ / "fresh.mov"));
}

TEST_F(MovieStorageTest, LinkAtThePathIsReplacedAndItsTargetLeftAlone) {
    const fs::path target = dir_ / "precious.bin";
    WriteFileText(target, "precious");
    fs::create_symlink(target, movie_);
    ASSERT_EQ(StoreOneFrame(movie_, source_, kReplace), noErr);
    EXPECT_FALSE(fs::is_symlink(movie_));
    EXPECT_TRUE(IsMovieOfOneFrame(movie_));
    EXPECT_EQ(ReadFileBytes(target).size(), 8u);

    fs::remove(movie_);
    fs::create_symlink(dir_ / "missing", movie_);  // a dangling link
    ASSERT_EQ(StoreOneFrame(movie_, source_, kReplace), noErr);
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
    EXPECT_TRUE(IsMovieOfOneFrame(movie_));
}

TEST_F(MovieStorageTest, LinkToTheSourceNeverWritesTheSource) {
    fs::create_symlink(source_, movie_);
    const auto before = ReadFileBytes(source_);
    ASSERT_EQ(StoreOneFrame(movie_, source_, kReplace), noErr);
    EXPECT_EQ(ReadFileBytes(source_), before);
}

TEST_F(MovieStorageTest, PathsThatCannotTakeAFileAreRefused) {
    fs::create_directories(dir_ / "a folder");
    WriteFileText(dir_ / "a file", "x");
    for (const fs::path& path :
         {dir_ / "missing folder/take-new.mov", dir_ / "a folder", dir_ / "a file/take-new.mov"}) {
        MovieSession session;
        EXPECT_NE(session.Create(Utf8FromPath(path)), noErr) << path;
        EXPECT_EQ(session.movie(), nullptr);
        EXPECT_EQ(session.dataHandler(), nullptr);
    }
    EXPECT_EQ(Entries(dir_.path()), (std::set<std::string>{"take.mov", "a folder", "a file"}));
    EXPECT_TRUE(fs::is_empty(dir_ / "a folder"));
}

// Whether CreateMovieStorage refuses the path, asked in a child process that runs as an
// ordinary user, since permissions do not bind the superuser.
bool RefusedToOrdinaryUser(const fs::path& movie) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(2);
        }
        MovieSession session;
        _exit(session.Create(Utf8FromPath(movie)) != noErr ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(MovieStorageTest, FolderWithoutWritePermissionIsRefused) {
    fs::create_directories(dir_ / "locked");
    fs::permissions(dir_.path(), fs::perms::all, fs::perm_options::add);
    fs::permissions(dir_ / "locked", fs::perms::owner_all | fs::perms::group_read |
                                         fs::perms::group_exec | fs::perms::others_read |
                                         fs::perms::others_exec);
    if (geteuid() != 0) {
        fs::permissions(dir_ / "locked", fs::perms::owner_write, fs::perm_options::remove);
    }
    EXPECT_TRUE(RefusedToOrdinaryUser(dir_ / "locked/take-new.mov"));
    EXPECT_TRUE(fs::is_empty(dir_ / "locked"));
}

TEST_F(MovieStorageTest, AbandonedStorageLeavesNoFile) {
    MovieSession session;
    ASSERT_EQ(session.Create(Utf8FromPath(movie_)), noErr);
    CloseMovieStorage(session.dataHandler());
    EXPECT_NE(AddMovieToStorage(session.movie(), session.dataHandler()), noErr);
    session.Close();
    EXPECT_EQ(Entries(dir_.path()), (std::set<std::string>{"take.mov"}));
}

// Limits the size of files this process may write, as a full disk would.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        signal(SIGXFSZ, previousHandler_);
    }

  private:
    rlimit previous_{};
    sighandler_t previousHandler_ = SIG_DFL;
};

TEST_F(MovieStorageTest, FailedStoreLeavesTheOldFileAndNoPartOfTheNewOne) {
    WriteFileText(movie_, "old movie");
    MovieSession session;
    ASSERT_EQ(session.Create(Utf8FromPath(movie_)), noErr);
    ASSERT_EQ(session.AddVideoTrack(Utf8FromPath(source_)), noErr);
    for (std::uint32_t i = 0; i < 10000; ++i) {
        ASSERT_EQ(session.AddFrame(i * 32u, 16), noErr);
    }
    OSErr stored;
    {
        FileSizeLimit limit(4096);
        stored = session.Close();
    }
    EXPECT_NE(stored, noErr);
    EXPECT_EQ(ReadFileBytes(movie_).size(), 9u);
    EXPECT_EQ(Entries(dir_.path()), (std::set<std::string>{"take.mov", "take-new.mov"}));
}

}  // namespace
}  // namespace tarnwick::test

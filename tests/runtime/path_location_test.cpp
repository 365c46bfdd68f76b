// Absolute paths of both syntaxes taken apart, and relative locations between two files.
#include <gtest/gtest.h>

#include "runtime/path_location.h"

namespace {

using namespace tarnwick::runtime;

struct ParseCase {
    const char* path;
    PathSyntax syntax;
    const char* volume;
    std::vector<std::string> folders;
    const char* name;
};

TEST(PathLocation, TakesAbsolutePathsApart) {
    const ParseCase cases[] = {
        {"/clips/take.mov", PathSyntax::Posix, "Root", {"clips"}, "take.mov"},
        {"/take.mov", PathSyntax::Posix, "Root", {}, "take.mov"},
        {"/a//b/./c.mov", PathSyntax::Posix, "Root", {"a", "b"}, "c.mov"},
        {"/März/映像/take", PathSyntax::Posix, "Root", {"März", "映像"}, "take"},
        {"D:\\clips.old\\take", PathSyntax::Windows, "D", {"clips.old"}, "take"},
        {"d:/clips/take.mov", PathSyntax::Windows, "D", {"clips"}, "take.mov"},
        {"C:\\take.mov", PathSyntax::Windows, "C", {}, "take.mov"},
        {"\\\\server\\share\\clips\\take.mov", PathSyntax::Windows, "share", {"clips"}, "take.mov"},
        {"\\\\?\\D:\\clips\\take.mov", PathSyntax::Windows, "D", {"clips"}, "take.mov"},
        {"\\\\?\\UNC\\server\\share\\take.mov", PathSyntax::Windows, "share", {}, "take.mov"},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.path);
        const auto location = ParseAbsolutePath(c.path);
        ASSERT_TRUE(location.has_value());
        EXPECT_EQ(location->syntax, c.syntax);
        EXPECT_EQ(location->volume, c.volume);
        EXPECT_EQ(location->folders, c.folders);
        EXPECT_EQ(location->name, c.name);
    }
}

TEST(PathLocation, RefusesPathsThatAreNotAbsoluteOrNameNoFile) {
    for (const char* path : {"", "take.mov", "clips/take.mov", "D:take.mov", "/", "D:\\",
                             "\\\\server", "/a/../b.mov", "\\\\server\\share"}) {
        EXPECT_FALSE(ParseAbsolutePath(path).has_value()) << path;
    }
}

struct LevelsCase {
    const char* movie;
    const char* source;
    std::uint16_t up, down;
};

TEST(PathLocation, LevelsFromMovieToSource) {
    const LevelsCase cases[] = {
        {"/clips/take-new.mov", "/clips/take.mov", 1, 1},
        {"D:\\clips-new.mov", "D:\\clips.old\\take", 1, 2},
        {"/clips-new.mov", "/clips.old/take", 1, 2},
        {"/a/b/new.mov", "/a/take.mov", 2, 1},
        {"/a/rescued/new.mov", "/a/source/take.mov", 2, 2},
        {"/x/y/new.mov", "/p/q/r/take.mov", 3, 4},
        {"D:\\Clips\\new.mov", "d:\\CLIPS\\take.mov", 1, 1},  // Windows ignores case
        {"/Clips/new.mov", "/clips/take.mov", 2, 2},          // POSIX does not
        {"C:\\new.mov", "D:\\take.mov", kNoRelativeLevel, kNoRelativeLevel},
        {"/new.mov", "D:\\take.mov", kNoRelativeLevel, kNoRelativeLevel},
    };
    for (const LevelsCase& c : cases) {
        SCOPED_TRACE(std::string(c.movie) + " -> " + c.source);
        const RelativeLevels levels =
            LevelsBetween(*ParseAbsolutePath(c.movie), *ParseAbsolutePath(c.source));
        EXPECT_EQ(levels.up, c.up);
        EXPECT_EQ(levels.down, c.down);
    }
}

}  // namespace

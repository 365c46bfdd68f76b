// Absolute paths taken apart into volume, folders and file name, in either path syntax (POSIX,
// or Windows with a drive letter or a UNC share), and the relative location of one file from
// another.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::runtime {

enum class PathSyntax { Posix, Windows };

struct PathLocation {
    PathSyntax syntax = PathSyntax::Posix;
    std::string volume;  // drive letter ("D"), UNC share name, or the POSIX root's name
    std::vector<std::string> folders;  // from the volume's root down to the file's folder
    std::string name;                  // the file's own name
};

// The name given to the root of a POSIX file system, which has no volume name of its own.
inline constexpr std::string_view kPosixVolumeName = "Root";

// Takes an absolute UTF-8 path apart; nothing when it is not absolute or names no file.
std::optional<PathLocation> ParseAbsolutePath(std::string_view path);

// How to reach a target file from a file: levels up from the file's folder to the folder both
// share (1 = that folder itself), then levels down from there to the target (1 = the target lies
// in the shared folder). Both are kNoRelativeLevel when the two lie on different volumes.
struct RelativeLevels {
    std::uint16_t up = 0;
    std::uint16_t down = 0;
};
inline constexpr std::uint16_t kNoRelativeLevel = 0xFFFF;
RelativeLevels LevelsBetween(const PathLocation& from, const PathLocation& target);

}  // namespace tarnwick::runtime

#include "runtime/path_location.h"

#include <algorithm>
#include <cctype>

namespace tarnwick::runtime {
namespace {

bool IsWindowsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The non-empty parts between separators; "." parts are dropped.
std::vector<std::string> SplitParts(std::string_view path, bool windows) {
    std::vector<std::string> parts;
    std::string part;
    const auto flush = [&] {
        if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (char c : path) {
        if (c == '/' || (windows && c == '\\')) {
            flush();
        } else {
            part += c;
        }
    }
    flush();
    return parts;
}

// Folders and file name from the parts below the volume; nothing when a part climbs up or
// there is no file name.
std::optional<PathLocation> LocationFromParts(PathSyntax syntax, std::string volume,
                                              std::vector<std::string> parts) {
    if (parts.empty() || std::find(parts.begin(), parts.end(), "..") != parts.end()) {
        return std::nullopt;
    }
    PathLocation location{syntax, std::move(volume), std::move(parts), {}};
    location.name = location.folders.back();
    location.folders.pop_back();
    return location;
}

std::optional<PathLocation> ParseUncPath(std::string_view rest) {
    std::vector<std::string> parts = SplitParts(rest, true);
    if (parts.size() < 2) {
        return std::nullopt;
    }
    std::string share = parts[1];
    parts.erase(parts.begin(), parts.begin() + 2);
    return LocationFromParts(PathSyntax::Windows, share, std::move(parts));
}

std::optional<PathLocation> ParseWindowsPath(std::string_view path) {
    constexpr std::string_view kLongPrefix = "\\\\?\\";
    constexpr std::string_view kLongUncPrefix = "\\\\?\\UNC\\";
    if (path.starts_with(kLongUncPrefix)) {
        return ParseUncPath(path.substr(kLongUncPrefix.size()));
    }
    if (path.starts_with(kLongPrefix)) {
        return ParseWindowsPath(path.substr(kLongPrefix.size()));
    }
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        IsWindowsSeparator(path[2])) {
        const std::string drive(1, static_cast<char>(std::toupper(path[0])));
        return LocationFromParts(PathSyntax::Windows, drive, SplitParts(path.substr(3), true));
    }
    if (path.size() >= 2 && IsWindowsSeparator(path[0]) && IsWindowsSeparator(path[1])) {
        return ParseUncPath(path.substr(2));
    }
    return std::nullopt;
}

// Windows compares names without regard to case; POSIX compares them exactly.
bool SameName(PathSyntax syntax, const std::string& a, const std::string& b) {
    if (syntax == PathSyntax::Posix) {
        return a == b;
    }
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::uint16_t LevelCount(std::size_t folders) {
    return static_cast<std::uint16_t>(std::min<std::size_t>(folders + 1, kNoRelativeLevel - 1));
}

}  // namespace

std::optional<PathLocation> ParseAbsolutePath(std::string_view path) {
    if (path.starts_with('/') && !path.starts_with("//")) {
        return LocationFromParts(PathSyntax::Posix, std::string(kPosixVolumeName),
                                 SplitParts(path, false));
    }
    return ParseWindowsPath(path);
}

RelativeLevels LevelsBetween(const PathLocation& from, const PathLocation& target) {
    if (from.syntax != target.syntax || !SameName(from.syntax, from.volume, target.volume)) {
        return {kNoRelativeLevel, kNoRelativeLevel};
    }
    std::size_t shared = 0;
    while (shared < from.folders.size() && shared < target.folders.size() &&
           SameName(from.syntax, from.folders[shared], target.folders[shared])) {
        ++shared;
    }
    return {LevelCount(from.folders.size() - shared), LevelCount(target.folders.size() - shared)};
}

}  // namespace tarnwick::runtime

// What a path holds, recorded so that a test can tell whether a program changed it: the kind of
// entry, a link's target, a file's size, modification time and the MD5 of every byte it stores
// (the holes of a sparse file are skipped, so a file of many GiB is recorded in moments).
#pragma once

#include <filesystem>
#include <string>

namespace tarnwick::test {

struct FileSnapshot {
    std::string kind;        // "missing", "file", "folder" or "other"
    std::string linkTarget;  // when the path itself is a symbolic link
    std::uintmax_t size = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::string contents;  // "<offset>+<length>:MD5:<hex>" per stored extent
    std::string entries;   // a folder's entry names

    bool operator==(const FileSnapshot&) const = default;
    std::string Describe() const;
};

// Follows links for what the path leads to; records the link itself as well.
FileSnapshot TakeSnapshot(const std::filesystem::path& path);

}  // namespace tarnwick::test

// The runtime's only contact with the platform: files named by UTF-8 paths. The POSIX and the
// Windows implementation each live in a file of their own.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "movie/movie_services.h"

namespace tarnwick::runtime {

enum class EntryKind { Missing, File, Folder, Link, Other };

// What the path names, without following a link at its end.
EntryKind LookUpEntry(const std::string& path);

// A file that this runtime has just created and alone writes. Destroying it before Finish
// closes it and leaves it to the caller to remove.
class NewFile {
  public:
    virtual ~NewFile() = default;
    // Errors are OSErr values (dskFulErr when the disk is full, ioErr otherwise).
    virtual OSErr Write(const char* bytes, std::size_t size) = 0;
    // Forces the contents to the disk and closes the file.
    virtual OSErr Finish() = 0;
};

// Creates a file that must not exist yet (never opening an existing file or a link's target).
// On failure the result is null and error says why (dupFNErr, dirNFErr, permErr, ...).
std::unique_ptr<NewFile> CreateNewFile(const std::string& path, OSErr& error);

// Gives the file at `from` the name `to`. With replace, an existing entry named `to` is replaced
// (a link itself, never its target); without, an existing entry makes it fail with dupFNErr.
OSErr RenameFile(const std::string& from, const std::string& to, bool replace);

void RemoveFile(const std::string& path);

}  // namespace tarnwick::runtime

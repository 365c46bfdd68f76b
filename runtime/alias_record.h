// Classic alias records (version 2), the form in which a QuickTime movie refers to a file
// elsewhere: the target's volume and name, its absolute path in HFS style
// ("Volume:folder:file"), its POSIX path where it has one, and its location relative to the
// movie.
#pragma once

#include <optional>
#include <string>

#include "runtime/path_location.h"

namespace tarnwick::runtime {

// The record's bytes for a target seen from a movie at the given levels; nothing when a path is
// too long for the record's 16-bit lengths.
std::optional<std::string> BuildAliasRecord(const PathLocation& target,
                                            const std::string& targetPath, RelativeLevels levels);

}  // namespace tarnwick::runtime

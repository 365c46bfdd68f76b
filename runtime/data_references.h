// Data references: a handle naming a file by its absolute path (UTF-8), of type 'alis'. The
// alias record that a stored movie carries is made from it when the movie is stored, once the
// movie's own location is known.
#pragma once

#include <optional>
#include <string>

#include "movie/movie_services.h"

namespace tarnwick::runtime {

constexpr OSType kAliasDataRefType = FourCharCode('a', 'l', 'i', 's');

// The absolute path that a live data reference of our type names; nothing for anything else.
std::optional<std::string> FindDataReferencePath(Handle dataRef, OSType dataRefType);

}  // namespace tarnwick::runtime

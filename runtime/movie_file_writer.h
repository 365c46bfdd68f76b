// Writes an open movie as a QuickTime File Format file: 'ftyp', then 'moov' with the movie's
// one video track, whose samples refer to data elsewhere. The file holds no media data.
#pragma once

#include <string>

#include "movie/movie_services.h"
#include "runtime/big_endian.h"
#include "runtime/movie_objects.h"

namespace tarnwick::runtime {

// Streams the movie to sink. moviePath is the absolute path the file will have, from which the
// data references' relative locations are worked out. Nothing is written when the movie cannot
// be stored (a path too long for an alias record, tables too large): the result says why.
OSErr WriteMovieFile(const MovieRecord& movie, const std::string& moviePath, ByteSink& sink);

}  // namespace tarnwick::runtime

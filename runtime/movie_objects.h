// Movies, their track and the track's media, as the runtime keeps them while they are open.
//
// A movie holds at most one track and a track at most one media, of type 'vide': that is what
// a reference movie of this system needs. The movie's own time scale is its media's, so that no
// duration is rounded.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "movie/movie_services.h"
#include "runtime/sample_table.h"

struct MediaRecord {
    TimeScale timeScale = 0;
    std::vector<std::string> dataReferences;      // absolute paths; index 1 is the first
    std::optional<ImageDescription> description;  // as the caller filled it, native byte order
    tarnwick::runtime::SampleTable samples;
};

// One edit: a stretch of the media placed in the track, at rate 1.0.
struct TrackEdit {
    TimeValue mediaTime = 0;
    TimeValue duration = 0;  // in the media's time scale, which is the movie's
};

struct TrackRecord {
    Fixed width = 0;
    Fixed height = 0;
    std::int16_t volume = 0;
    Media media = nullptr;
    std::vector<TrackEdit> edits;
};

struct MovieRecord {
    Track track = nullptr;
};

namespace tarnwick::runtime {

// The live objects behind references, or null for an unknown reference.
MovieRecord* FindMovie(Movie movie);
TrackRecord* FindTrack(Track track);
MediaRecord* FindMedia(Media media);

// A new empty movie; null when memory runs out.
Movie NewEmptyMovie();

// The time scale of a new movie, used while it has no media.
constexpr TimeScale kDefaultMovieTimeScale = 600;

}  // namespace tarnwick::runtime

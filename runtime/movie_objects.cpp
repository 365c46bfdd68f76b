#include "runtime/movie_objects.h"

#include <limits>
#include <memory>

#include "runtime/data_references.h"
#include "runtime/errors.h"
#include "runtime/handles.h"
#include "runtime/no_throw.h"
#include "runtime/registry.h"

namespace tarnwick::runtime {
namespace {

Registry<MovieRecord>& Movies() {
    static Registry<MovieRecord> movies;
    return movies;
}

Registry<TrackRecord>& Tracks() {
    static Registry<TrackRecord> tracks;
    return tracks;
}

Registry<MediaRecord>& Medias() {
    static Registry<MediaRecord> medias;
    return medias;
}

// The track's length: the sum of its edits.
std::int64_t TrackDuration(const TrackRecord& track) {
    std::int64_t duration = 0;
    for (const TrackEdit& edit : track.edits) {
        duration += edit.duration;
    }
    return duration;
}

Media NewVideoMedia(TimeScale timeScale, std::optional<std::string> dataReference) {
    auto media = std::make_unique<MediaRecord>();
    media->timeScale = timeScale;
    if (dataReference) {
        media->dataReferences.push_back(*dataReference);
    }
    return Medias().Add(std::move(media));
}

}  // namespace

MovieRecord* FindMovie(Movie movie) {
    return Movies().Find(movie);
}

TrackRecord* FindTrack(Track track) {
    return Tracks().Find(track);
}

MediaRecord* FindMedia(Media media) {
    return Medias().Find(media);
}

Movie NewEmptyMovie() {
    return NoThrow<Movie>(nullptr, [] { return Movies().Add(std::make_unique<MovieRecord>()); });
}

}  // namespace tarnwick::runtime

using namespace tarnwick::runtime;

extern "C" Track NewMovieTrack(Movie theMovie, Fixed width, Fixed height,
                               std::int16_t trackVolume) {
    MovieRecord* movie = FindMovie(theMovie);
    if (movie == nullptr || movie->track != nullptr || width < 0 || height < 0) {
        return nullptr;
    }
    return NoThrow<Track>(nullptr, [&] {
        auto track = std::make_unique<TrackRecord>();
        track->width = width;
        track->height = height;
        track->volume = trackVolume;
        movie->track = Tracks().Add(std::move(track));
        return movie->track;
    });
}

// A data reference given here becomes the media's first; without one the media has none yet.
extern "C" Media NewTrackMedia(Track theTrack, OSType mediaType, TimeScale timeScale,
                               Handle dataRef, OSType dataRefType) {
    TrackRecord* track = FindTrack(theTrack);
    if (track == nullptr || track->media != nullptr || mediaType != VideoMediaType ||
        timeScale <= 0) {
        return nullptr;
    }
    std::optional<std::string> dataReference;
    if (dataRef != nullptr) {
        dataReference = FindDataReferencePath(dataRef, dataRefType);
        if (!dataReference) {
            return nullptr;
        }
    }
    return NoThrow<Media>(nullptr, [&] {
        track->media = NewVideoMedia(timeScale, dataReference);
        return track->media;
    });
}

extern "C" OSErr AddMediaDataRef(Media theMedia, std::int16_t* index, Handle dataRef,
                                 OSType dataRefType) {
    MediaRecord* media = FindMedia(theMedia);
    if (media == nullptr) {
        return invalidMedia;
    }
    if (FindHandleBlock(dataRef).data == nullptr) {
        return nilHandleErr;
    }
    const std::optional<std::string> path = FindDataReferencePath(dataRef, dataRefType);
    if (!path) {
        return paramErr;
    }
    if (media->dataReferences.size() >= std::numeric_limits<std::int16_t>::max()) {
        return paramErr;
    }
    return NoThrow<OSErr>(memFullErr, [&] {
        media->dataReferences.push_back(*path);
        if (index != nullptr) {
            *index = static_cast<std::int16_t>(media->dataReferences.size());
        }
        return noErr;
    });
}

// Samples may be added at any time; beginning and ending edits only check the reference.
extern "C" OSErr BeginMediaEdits(Media theMedia) {
    return FindMedia(theMedia) != nullptr ? noErr : invalidMedia;
}

extern "C" OSErr EndMediaEdits(Media theMedia) {
    return FindMedia(theMedia) != nullptr ? noErr : invalidMedia;
}

extern "C" TimeValue GetMediaDuration(Media theMedia) {
    const MediaRecord* media = FindMedia(theMedia);
    return media == nullptr ? 0 : static_cast<TimeValue>(media->samples.TotalDuration());
}

// Places media time mediaTime..mediaTime+mediaDuration at the end of the track (trackStart is
// the track's current end, or -1 for it) at rate 1.0. A duration of 0 inserts nothing.
extern "C" OSErr InsertMediaIntoTrack(Track theTrack, TimeValue trackStart, TimeValue mediaTime,
                                      TimeValue mediaDuration, Fixed mediaRate) {
    TrackRecord* track = FindTrack(theTrack);
    if (track == nullptr) {
        return invalidTrack;
    }
    const MediaRecord* media = FindMedia(track->media);
    if (media == nullptr) {
        return invalidMedia;
    }
    const std::int64_t trackEnd = TrackDuration(*track);
    if (mediaRate != fixed1 || (trackStart != -1 && trackStart != trackEnd)) {
        return paramErr;
    }
    if (mediaTime < 0 || mediaDuration < 0 ||
        std::int64_t{mediaTime} + mediaDuration > media->samples.TotalDuration() ||
        trackEnd + mediaDuration > std::numeric_limits<TimeValue>::max()) {
        return invalidDuration;
    }
    if (mediaDuration == 0) {
        return noErr;
    }
    return NoThrow<OSErr>(memFullErr, [&] {
        track->edits.push_back({mediaTime, mediaDuration});
        return noErr;
    });
}

extern "C" void DisposeMovie(Movie theMovie) {
    const MovieRecord* movie = FindMovie(theMovie);
    if (movie == nullptr) {
        return;
    }
    if (const TrackRecord* track = FindTrack(movie->track)) {
        Medias().Remove(track->media);
    }
    Tracks().Remove(movie->track);
    Movies().Remove(theMovie);
}

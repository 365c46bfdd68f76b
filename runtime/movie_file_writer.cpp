#include "runtime/movie_file_writer.h"

#include <chrono>
#include <limits>
#include <optional>

#include "runtime/alias_record.h"
#include "runtime/atoms.h"
#include "runtime/errors.h"
#include "runtime/path_location.h"
#include "runtime/sample_table_atoms.h"

namespace tarnwick::runtime {
namespace {

constexpr std::uint32_t kTrackId = 1;
constexpr std::uint32_t kTrackEnabledInMovieInPreviewInPoster = 0xF;
constexpr std::uint16_t kFullVolume = 0x0100;
constexpr std::uint16_t kDitherCopy = 0x0040;
constexpr std::uint32_t kSelfReference = 1;
constexpr std::uint32_t kQuickTimeBrand = FourCharCode('q', 't', ' ', ' ');

// Everything a movie's atoms are made from, gathered once.
struct MovieParts {
    const TrackRecord* track = nullptr;  // null when the movie has no track with a media
    const MediaRecord* media = nullptr;
    TimeScale timeScale = kDefaultMovieTimeScale;
    std::uint32_t trackDuration = 0;
    std::uint32_t now = 0;  // seconds since 1904
    std::optional<PathLocation> movieLocation;
};

std::uint32_t SecondsSince1904() {
    constexpr std::int64_t kSeconds1904To1970 = 2082844800;
    const auto sinceUnixEpoch = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(sinceUnixEpoch.count() + kSeconds1904To1970);
}

// Bytes of a small atom, written by fill.
template <typename Fill>
Atom SmallAtom(std::uint32_t type, Fill&& fill) {
    std::string bytes;
    StringSink sink(bytes);
    BigEndianWriter out(sink);
    fill(out);
    return LeafAtom(type, std::move(bytes));
}

void PutMatrix(BigEndianWriter& out) {
    const std::uint32_t identity[9] = {0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000};
    for (std::uint32_t value : identity) {
        out.U32(value);
    }
}

Atom FileTypeAtom() {
    return SmallAtom(FourCharCode('f', 't', 'y', 'p'), [](BigEndianWriter& out) {
        out.U32(kQuickTimeBrand);
        out.U32(0);  // minor version
        out.U32(kQuickTimeBrand);
    });
}

Atom MovieHeaderAtom(const MovieParts& parts) {
    return SmallAtom(FourCharCode('m', 'v', 'h', 'd'), [&](BigEndianWriter& out) {
        out.U32(0);  // version, flags
        out.U32(parts.now);
        out.U32(parts.now);
        out.U32(static_cast<std::uint32_t>(parts.timeScale));
        out.U32(parts.trackDuration);
        out.U32(fixed1);  // preferred rate
        out.U16(kFullVolume);
        out.Zeros(10);
        PutMatrix(out);
        out.Zeros(24);  // preview, poster, selection and current times
        out.U32(parts.track != nullptr ? kTrackId + 1 : kTrackId);
    });
}

Atom TrackHeaderAtom(const MovieParts& parts) {
    return SmallAtom(FourCharCode('t', 'k', 'h', 'd'), [&](BigEndianWriter& out) {
        out.U32(kTrackEnabledInMovieInPreviewInPoster);  // version 0
        out.U32(parts.now);
        out.U32(parts.now);
        out.U32(kTrackId);
        out.U32(0);
        out.U32(parts.trackDuration);
        out.Zeros(8);
        out.U16(0);  // layer
        out.U16(0);  // alternate group
        out.U16(static_cast<std::uint16_t>(parts.track->volume));
        out.U16(0);
        PutMatrix(out);
        out.U32(static_cast<std::uint32_t>(parts.track->width));
        out.U32(static_cast<std::uint32_t>(parts.track->height));
    });
}

Atom EditsAtom(const TrackRecord& track) {
    Atom list = SmallAtom(FourCharCode('e', 'l', 's', 't'), [&](BigEndianWriter& out) {
        out.U32(0);
        out.U32(static_cast<std::uint32_t>(track.edits.size()));
        for (const TrackEdit& edit : track.edits) {
            out.U32(static_cast<std::uint32_t>(edit.duration));
            out.U32(static_cast<std::uint32_t>(edit.mediaTime));
            out.U32(fixed1);
        }
    });
    std::vector<Atom> children;
    children.push_back(std::move(list));
    return ContainerAtom(FourCharCode('e', 'd', 't', 's'), std::move(children));
}

Atom MediaHeaderAtom(const MovieParts& parts) {
    return SmallAtom(FourCharCode('m', 'd', 'h', 'd'), [&](BigEndianWriter& out) {
        out.U32(0);
        out.U32(parts.now);
        out.U32(parts.now);
        out.U32(static_cast<std::uint32_t>(parts.media->timeScale));
        out.U32(static_cast<std::uint32_t>(parts.media->samples.TotalDuration()));
        out.U16(0);  // language
        out.U16(0);  // quality
    });
}

Atom HandlerAtom(OSType componentType, OSType subtype, const std::string& name) {
    return SmallAtom(FourCharCode('h', 'd', 'l', 'r'), [&](BigEndianWriter& out) {
        out.U32(0);
        out.U32(componentType);
        out.U32(subtype);
        out.Zeros(12);  // manufacturer, flags, flags mask
        out.U8(static_cast<std::uint8_t>(name.size()));
        out.Text(name);
    });
}

Atom VideoMediaHeaderAtom() {
    return SmallAtom(FourCharCode('v', 'm', 'h', 'd'), [](BigEndianWriter& out) {
        out.U32(1);  // version 0, flags 1
        out.U16(kDitherCopy);
        out.U16(0x8000);
        out.U16(0x8000);
        out.U16(0x8000);
    });
}

// One alias entry per data reference, each located relative to the movie. A media without data
// references gets a single entry naming the movie file itself, since a reference table may not
// be empty.
std::optional<Atom> DataReferenceAtom(const MovieParts& parts) {
    std::vector<std::string> entries;
    for (const std::string& path : parts.media->dataReferences) {
        const std::optional<PathLocation> target = ParseAbsolutePath(path);
        if (!target) {
            return std::nullopt;
        }
        const RelativeLevels levels = parts.movieLocation
                                          ? LevelsBetween(*parts.movieLocation, *target)
                                          : RelativeLevels{kNoRelativeLevel, kNoRelativeLevel};
        std::optional<std::string> record = BuildAliasRecord(*target, path, levels);
        if (!record) {
            return std::nullopt;
        }
        entries.push_back(std::move(*record));
    }
    const bool selfReference = entries.empty();
    Atom table = SmallAtom(FourCharCode('d', 'r', 'e', 'f'), [&](BigEndianWriter& out) {
        out.U32(0);
        out.U32(selfReference ? 1 : static_cast<std::uint32_t>(entries.size()));
        if (selfReference) {
            out.U32(12);
            out.U32(FourCharCode('a', 'l', 'i', 's'));
            out.U32(kSelfReference);
        }
        for (const std::string& record : entries) {
            out.U32(static_cast<std::uint32_t>(12 + record.size()));
            out.U32(FourCharCode('a', 'l', 'i', 's'));
            out.U32(0);  // flags 0: the data lies in another file
            out.Text(record);
        }
    });
    std::vector<Atom> children;
    children.push_back(std::move(table));
    return ContainerAtom(FourCharCode('d', 'i', 'n', 'f'), std::move(children));
}

// The description as the caller filled it, in big-endian order. A media that never got a sample
// has none; it gets a blank one of the track's size, since readers want one entry.
void PutImageDescription(BigEndianWriter& out, const MovieParts& parts) {
    ImageDescription d{};
    if (parts.media->description) {
        d = *parts.media->description;
    } else {
        d.idSize = sizeof(ImageDescription);
        d.dataRefIndex = 1;
        d.width = static_cast<std::int16_t>(parts.track->width >> 16);
        d.height = static_cast<std::int16_t>(parts.track->height >> 16);
    }
    out.U32(static_cast<std::uint32_t>(d.idSize));
    out.U32(d.cType);
    out.U32(static_cast<std::uint32_t>(d.resvd1));
    out.U16(static_cast<std::uint16_t>(d.resvd2));
    out.U16(static_cast<std::uint16_t>(d.dataRefIndex));
    out.U16(static_cast<std::uint16_t>(d.version));
    out.U16(static_cast<std::uint16_t>(d.revisionLevel));
    out.U32(d.vendor);
    out.U32(static_cast<std::uint32_t>(d.temporalQuality));
    out.U32(static_cast<std::uint32_t>(d.spatialQuality));
    out.U16(static_cast<std::uint16_t>(d.width));
    out.U16(static_cast<std::uint16_t>(d.height));
    out.U32(static_cast<std::uint32_t>(d.hRes));
    out.U32(static_cast<std::uint32_t>(d.vRes));
    out.U32(static_cast<std::uint32_t>(d.dataSize));
    out.U16(static_cast<std::uint16_t>(d.frameCount));
    out.Text(std::string_view(reinterpret_cast<const char*>(d.name), sizeof d.name));
    out.U16(static_cast<std::uint16_t>(d.depth));
    out.U16(static_cast<std::uint16_t>(d.clutID));
}

Atom SampleTableAtom(const MovieParts& parts) {
    std::vector<Atom> children;
    children.push_back(SmallAtom(FourCharCode('s', 't', 's', 'd'), [&](BigEndianWriter& out) {
        out.U32(0);
        out.U32(1);
        PutImageDescription(out, parts);
    }));
    for (Atom& table : SampleTableAtoms(parts.media->samples)) {
        children.push_back(std::move(table));
    }
    return ContainerAtom(FourCharCode('s', 't', 'b', 'l'), std::move(children));
}

std::optional<Atom> MediaAtom(const MovieParts& parts) {
    std::optional<Atom> dataInformation = DataReferenceAtom(parts);
    if (!dataInformation) {
        return std::nullopt;
    }
    std::vector<Atom> information;
    information.push_back(VideoMediaHeaderAtom());
    information.push_back(HandlerAtom(FourCharCode('d', 'h', 'l', 'r'),
                                      FourCharCode('a', 'l', 'i', 's'), "Tarnwick alias handler"));
    information.push_back(std::move(*dataInformation));
    information.push_back(SampleTableAtom(parts));

    std::vector<Atom> media;
    media.push_back(MediaHeaderAtom(parts));
    media.push_back(
        HandlerAtom(FourCharCode('m', 'h', 'l', 'r'), VideoMediaType, "Tarnwick video handler"));
    media.push_back(ContainerAtom(FourCharCode('m', 'i', 'n', 'f'), std::move(information)));
    return ContainerAtom(FourCharCode('m', 'd', 'i', 'a'), std::move(media));
}

std::optional<Atom> TrackAtom(const MovieParts& parts) {
    std::optional<Atom> media = MediaAtom(parts);
    if (!media) {
        return std::nullopt;
    }
    std::vector<Atom> children;
    children.push_back(TrackHeaderAtom(parts));
    if (!parts.track->edits.empty()) {
        children.push_back(EditsAtom(*parts.track));
    }
    children.push_back(std::move(*media));
    return ContainerAtom(FourCharCode('t', 'r', 'a', 'k'), std::move(children));
}

MovieParts GatherParts(const MovieRecord& movie, const std::string& moviePath) {
    MovieParts parts;
    parts.now = SecondsSince1904();
    parts.movieLocation = ParseAbsolutePath(moviePath);
    const TrackRecord* track = FindTrack(movie.track);
    const MediaRecord* media = track != nullptr ? FindMedia(track->media) : nullptr;
    if (media == nullptr) {
        return parts;
    }
    parts.track = track;
    parts.media = media;
    parts.timeScale = media->timeScale;
    for (const TrackEdit& edit : track->edits) {
        parts.trackDuration += static_cast<std::uint32_t>(edit.duration);
    }
    return parts;
}

}  // namespace

OSErr WriteMovieFile(const MovieRecord& movie, const std::string& moviePath, ByteSink& sink) {
    const MovieParts parts = GatherParts(movie, moviePath);
    std::vector<Atom> movieChildren;
    movieChildren.push_back(MovieHeaderAtom(parts));
    if (parts.track != nullptr) {
        std::optional<Atom> track = TrackAtom(parts);
        if (!track) {
            return paramErr;
        }
        movieChildren.push_back(std::move(*track));
    }
    const Atom movieAtom =
        ContainerAtom(FourCharCode('m', 'o', 'o', 'v'), std::move(movieChildren));
    if (movieAtom.Size() > std::numeric_limits<std::uint32_t>::max()) {
        return paramErr;
    }
    BigEndianWriter out(sink);
    FileTypeAtom().WriteTo(out);
    movieAtom.WriteTo(out);
    return noErr;
}

}  // namespace tarnwick::runtime

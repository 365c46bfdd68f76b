// A small reader of the sample tables of a stored movie, written for the fuzz targets: it follows
// the QuickTime File Format atoms from the movie down to the first track's media and turns its
// sample tables back into one entry per sample.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::fuzz {

struct StoredSample {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    std::uint32_t duration = 0;
    bool sync = true;
    bool operator==(const StoredSample&) const = default;
};

struct StoredMedia {
    std::uint32_t timeScale = 0;
    std::uint64_t duration = 0;  // as the media header states it
    std::vector<StoredSample> samples;
};

// The first track's media of the movie file at path; nothing when the file does not hold one or
// its tables disagree with each other.
std::optional<StoredMedia> ReadStoredMedia(const std::string& path);

}  // namespace tarnwick::fuzz

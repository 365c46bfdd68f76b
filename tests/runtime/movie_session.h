// Drives the movie services the way the reference movie writer does, so that tests can store
// movies through the runtime alone.
#pragma once

#include <cstdint>
#include <string>

#include "movie/movie_services.h"

namespace tarnwick::test {

struct VideoFormat {
    std::uint16_t width = 2048;
    std::uint16_t height = 1152;
    TimeScale timeScale = 25;
};

class MovieSession {
  public:
    MovieSession() = default;
    ~MovieSession() { Close(); }
    MovieSession(const MovieSession&) = delete;
    MovieSession& operator=(const MovieSession&) = delete;

    // Creates the movie storage for a UTF-8 path (native style); the result of CreateMovieStorage.
    OSErr Create(const std::string& moviePath,
                 std::int32_t flags = static_cast<std::int32_t>(0x90000000u));
    // Adds the track, the description, the media and the source reference; the first failing
    // result, or noErr.
    OSErr AddVideoTrack(const std::string& sourcePath, const VideoFormat& format = {});
    OSErr AddFrame(std::uint64_t offset, std::uint32_t size, TimeValue duration = 1,
                   bool sync = true);
    // Ends the edits, inserts the media, stores and releases everything; the result of
    // AddMovieToStorage (noErr when there was nothing to store).
    OSErr Close();

    Movie movie() const { return movie_; }
    Media media() const { return media_; }
    Track track() const { return track_; }
    DataHandler dataHandler() const { return dataHandler_; }
    Handle description() const { return description_; }

  private:
    Movie movie_ = nullptr;
    DataHandler dataHandler_ = nullptr;
    Track track_ = nullptr;
    Media media_ = nullptr;
    Handle outputRef_ = nullptr;
    Handle sourceRef_ = nullptr;
    Handle description_ = nullptr;
};

// One sample reference record, as the writer fills it.
SampleReference64Record SampleRecord(std::uint64_t offset, std::uint32_t size, TimeValue duration,
                                     bool sync = true);

// A data reference from a UTF-8 path; null when it cannot be made.
Handle MakeDataReference(const std::string& path, QTPathStyle style = kQTNativeDefaultPathStyle);

}  // namespace tarnwick::test

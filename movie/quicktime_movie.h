// The reference movie writer: one video track whose samples point into the damaged source file.
#pragma once

#include <cstdint>

#include "movie/movie_services.h"

class CQuickTimeMovie {
  public:
    CQuickTimeMovie() = default;
    virtual ~CQuickTimeMovie();

    CQuickTimeMovie(const CQuickTimeMovie&) = delete;
    CQuickTimeMovie& operator=(const CQuickTimeMovie&) = delete;

    // Creates the movie file at path (UTF-8), replacing an old one when the movie is stored.
    bool CreateMovieFile(const char* path);

    // Adds the video track, its sample description and its media, which refers to sourcePath.
    bool AddVideoTrack(std::uint16_t width, std::uint16_t height, OSType codecType,
                       const char* compressorName, std::uint16_t timeScale, const char* sourcePath);

    // Adds one sample that refers to the bytes [start, end) of the source.
    bool AddFrameReference(std::uint64_t start, std::uint64_t end, std::int32_t frameType,
                           std::int32_t duration);

    // Finishes the media, stores the movie in its file and releases everything; runs once.
    void Close();

  private:
    bool FillSampleDescription(std::uint16_t width, std::uint16_t height, OSType codecType,
                               const char* compressorName);
    void FinishMedia();
    void StoreMovie();
    void DisposeHandles();

    Media media_ = nullptr;
    Track track_ = nullptr;
    Movie movie_ = nullptr;
    DataHandler dataHandler_ = nullptr;
    Handle outputDataRef_ = nullptr;
    Handle sourceDataRef_ = nullptr;
    Handle sampleDescription_ = nullptr;
};

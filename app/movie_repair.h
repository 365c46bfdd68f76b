// The repair job: one run from QuickTime initialisation to the final report.
#pragma once

#include <cstdint>

#include "bitstream/vellix_bitstream.h"

class CQuickTimeMovie;

class CMovieRepair {
  public:
    CMovieRepair() = default;

    CMovieRepair(const CMovieRepair&) = delete;
    CMovieRepair& operator=(const CMovieRepair&) = delete;

    // Rescues the frames of inputPath into a reference movie at outputPath. width, height and
    // frameRate (fps x 1000) are the command line's; the frame header may override the size.
    void ProcessQT(const char* inputPath, const char* outputPath, std::int32_t width,
                   std::int32_t height, std::int32_t frameRate);

    // Looks frameRate up in the frame-rate table; false and no change when it is not there.
    bool SetFrameRate(std::int32_t frameRate);

    // Searches the frame-header words in data for tag; on success stores its value.
    static bool FindHeaderTag(const unsigned char* data, std::int32_t length, std::uint16_t tag,
                              std::uint16_t* value);

    // True once the run has printed an "ERROR:" line.
    bool ReportedError() const { return reportedError_; }
    std::uint16_t TimeScale() const { return timeScale_; }
    std::int32_t SampleDuration() const { return sampleDuration_; }

  private:
    struct TrackSize {
        std::uint16_t width;
        std::uint16_t height;
    };

    void Announce(const char* inputPath, const char* outputPath, std::int32_t width,
                  std::int32_t height);
    void RescueFrames(vellix_bitstream& source, const char* inputPath, const char* outputPath,
                      std::int32_t width, std::int32_t height);
    FileOffset ScanFirstFrame(vellix_bitstream& source);
    TrackSize ReadTrackSize(vellix_bitstream& source, std::int32_t width, std::int32_t height);
    std::int64_t ReferenceFrames(vellix_bitstream& source, CQuickTimeMovie& movie,
                                 FileOffset searchStart, FileOffset sourceSize);
    // Prints an "ERROR:" line and remembers that one was printed.
    __attribute__((format(printf, 2, 3))) void ReportError(const char* format, ...);

    std::uint16_t frameWidth_ = 0;
    std::uint16_t frameHeight_ = 0;
    std::int32_t sampleDuration_ = 1;
    std::uint16_t timeScale_ = 24;
    std::int32_t frameRate_ = 0;
    bool reportedError_ = false;
};

#include "app/movie_repair.h"

#include <array>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>

#include "app/quicktime_init.h"
#include "app/same_file.h"
#include "movie/quicktime_movie.h"

namespace {

constexpr OSType kCodecType = FourCharCode('V', 'X', 'H', 'D');
constexpr const char* kCompressorName = "Vellix HD";
constexpr std::size_t kHeaderBlockSize = 4096;
constexpr std::uint16_t kWidthTag = 20;
constexpr std::uint16_t kHeightTag = 21;
// The header stores 1080 lines as 544, rounded up to whole macroblock rows.
constexpr std::uint16_t kPaddedHeight = 544;
constexpr std::uint16_t kVisibleHeight = 540;

const char* TypeLabel(FrameType type) {
    switch (type) {
        case 1:
        case 3:
            return "I";
        case 2:
            return "P";
        default:
            return "";
    }
}

float PercentPassed(FileOffset end, FileOffset sourceSize) {
    if (sourceSize == 0) {
        return 0.0f;
    }
    return static_cast<float>(static_cast<double>(end) * 100.0 / static_cast<double>(sourceSize));
}

}  // namespace

void CMovieRepair::ProcessQT(const char* inputPath, const char* outputPath, std::int32_t width,
                             std::int32_t height, std::int32_t frameRate) {
    CQuickTimeInit quickTime;
    frameWidth_ = static_cast<std::uint16_t>(width);
    frameHeight_ = static_cast<std::uint16_t>(height);
    frameRate_ = frameRate;
    Announce(inputPath, outputPath, width, height);
    SetFrameRate(frameRate_);  // a rate outside the table keeps 24 fps

    vellix_bitstream source(inputPath);
    if (!source.IsOpen()) {
        ReportError("ERROR:  Could not open: %s\n", inputPath);
        return;
    }
    RescueFrames(source, inputPath, outputPath, width, height);
}

void CMovieRepair::Announce(const char* inputPath, const char* outputPath, std::int32_t width,
                            std::int32_t height) {
    std::printf("Input file: %s\n", inputPath);
    std::printf("Destination file: %s\n", outputPath);
    std::printf("Creating reference movie width: %d height: %d fps: %f\n", width, height,
                frameRate_ / 1000.0);
}

void CMovieRepair::RescueFrames(vellix_bitstream& source, const char* inputPath,
                                const char* outputPath, std::int32_t width, std::int32_t height) {
    CQuickTimeMovie movie;
    // The output never takes the source's place, even when a link makes them one file.
    if (NamesSameFile(inputPath, outputPath) || !movie.CreateMovieFile(outputPath)) {
        ReportError("ERROR:  Could not create: %s\n", outputPath);
        return;
    }
    FileOffset sourceSize = source.GetSize();
    FileOffset firstFrameEnd = ScanFirstFrame(source);
    TrackSize track = ReadTrackSize(source, width, height);
    if (!movie.AddVideoTrack(track.width, track.height, kCodecType, kCompressorName, timeScale_,
                             inputPath)) {
        ReportError("ERROR:  Could not video track\n");
        return;
    }
    std::int64_t frames = ReferenceFrames(source, movie, firstFrameEnd, sourceSize);
    movie.Close();
    std::printf("ProcessQT extracted: %d frames\n", static_cast<std::int32_t>(frames));
}

FileOffset CMovieRepair::ScanFirstFrame(vellix_bitstream& source) {
    FileOffset start = 0;
    FileOffset end = 0;
    FrameType type = 0;
    if (!source.FindNextFrame(0, start, end, type)) {
        ReportError("ERROR:  parsing Vellix bitstream failed\n");
    }
    return end;
}

// The header block that follows the first frame gives the frame size in tags 20 and 21; the
// track is twice as wide and twice as high. Without both, the command line's size holds.
CMovieRepair::TrackSize CMovieRepair::ReadTrackSize(vellix_bitstream& source, std::int32_t width,
                                                    std::int32_t height) {
    std::array<unsigned char, kHeaderBlockSize> header;
    auto length = static_cast<std::int32_t>(source.Read(header.data(), kHeaderBlockSize));
    if (FindHeaderTag(header.data(), length, kWidthTag, &frameWidth_) &&
        FindHeaderTag(header.data(), length, kHeightTag, &frameHeight_)) {
        if (frameHeight_ == kPaddedHeight) {
            frameHeight_ = kVisibleHeight;
        }
        width = 2 * std::int32_t{frameWidth_};
        height = 2 * std::int32_t{frameHeight_};
    }
    return {static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)};
}

// References every complete frame after the first one; returns how many were handed on.
std::int64_t CMovieRepair::ReferenceFrames(vellix_bitstream& source, CQuickTimeMovie& movie,
                                           FileOffset searchStart, FileOffset sourceSize) {
    std::int64_t counter = 0;
    FileOffset start = 0;
    FileOffset end = searchStart;
    FrameType type = 0;
    while (source.FindNextFrame(end, start, end, type)) {
        movie.AddFrameReference(start, end, type, sampleDuration_);
        ++counter;
        std::printf("Frame %" PRId64 " [%s frame] at file position %" PRId64 "  %.1f%% complete\n",
                    counter, TypeLabel(type), static_cast<std::int64_t>(start),
                    PercentPassed(end, sourceSize));
    }
    return counter;
}

void CMovieRepair::ReportError(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    reportedError_ = true;
}

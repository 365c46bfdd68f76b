#include "movie/quicktime_movie.h"

#include <cstring>
#include <initializer_list>

namespace {

constexpr OSType kCreatorCode = FourCharCode('T', 'V', 'O', 'D');
constexpr OSType kVendor = FourCharCode('Z', 'O', 'R', 'V');
constexpr std::int32_t kCreateFlags =
    createMovieFileDeleteCurFile | createMovieFileDontCreateResFile;
constexpr std::uint32_t kOutputReferenceFlags = 0;
constexpr std::uint32_t kSourceReferenceFlags = 1;
constexpr std::size_t kLongestCompressorName = 31;
constexpr std::uint64_t kLargestSampleSize = 0xFFFFFFFFu;

// Makes a data reference to a UTF-8 path in the native path style. Both paths, the output's and
// the source's, take this road so that each names the file the user gave.
OSErr MakeDataReference(const char* path, std::uint32_t flags, Handle* dataRef, OSType* type) {
    CFStringRef text = CFStringCreateWithCString(nullptr, path, kCFStringEncodingUTF8);
    OSErr err = QTNewDataReferenceFromFullPathCFString(text, kQTNativeDefaultPathStyle, flags,
                                                       dataRef, type);
    CFRelease(text);
    return err;
}

}  // namespace

CQuickTimeMovie::~CQuickTimeMovie() {
    Close();
}

bool CQuickTimeMovie::CreateMovieFile(const char* path) {
    OSType type = 0;
    if (MakeDataReference(path, kOutputReferenceFlags, &outputDataRef_, &type) != noErr) {
        return false;
    }
    return CreateMovieStorage(outputDataRef_, type, kCreatorCode, smSystemScript, kCreateFlags,
                              &dataHandler_, &movie_) == noErr;
}

bool CQuickTimeMovie::AddVideoTrack(std::uint16_t width, std::uint16_t height, OSType codecType,
                                    const char* compressorName, std::uint16_t timeScale,
                                    const char* sourcePath) {
    Fixed trackWidth = FixRatio(static_cast<std::int16_t>(width), 1);
    Fixed trackHeight = FixRatio(static_cast<std::int16_t>(height), 1);
    track_ = NewMovieTrack(movie_, trackWidth, trackHeight, 0);
    if (track_ == nullptr) {
        return false;
    }
    if (!FillSampleDescription(width, height, codecType, compressorName)) {
        return false;
    }
    media_ = NewTrackMedia(track_, VideoMediaType, timeScale, nullptr, 0);
    if (media_ == nullptr) {
        return false;
    }
    OSType type = 0;
    if (MakeDataReference(sourcePath, kSourceReferenceFlags, &sourceDataRef_, &type) != noErr) {
        return false;
    }
    auto* description = reinterpret_cast<ImageDescription*>(*sampleDescription_);
    if (AddMediaDataRef(media_, &description->dataRefIndex, sourceDataRef_, type) != noErr) {
        return false;
    }
    BeginMediaEdits(media_);
    return true;
}

bool CQuickTimeMovie::FillSampleDescription(std::uint16_t width, std::uint16_t height,
                                            OSType codecType, const char* compressorName) {
    // The name field holds a length byte and at most 31 characters.
    if (std::strlen(compressorName) > kLongestCompressorName) {
        return false;
    }
    sampleDescription_ = NewHandleClear(sizeof(ImageDescription));
    if (sampleDescription_ == nullptr) {
        return false;
    }
    auto* description = reinterpret_cast<ImageDescription*>(*sampleDescription_);
    description->idSize = sizeof(ImageDescription);
    description->cType = codecType;
    description->version = 1;
    description->vendor = kVendor;
    description->width = static_cast<std::int16_t>(width);
    description->height = static_cast<std::int16_t>(height);
    c2pstrcpy(description->name, compressorName);
    return true;
}

bool CQuickTimeMovie::AddFrameReference(std::uint64_t start, std::uint64_t end,
                                        std::int32_t frameType, std::int32_t duration) {
    // The sample size field is 32 bits wide: a larger extent cannot be described.
    if (end <= start || end - start > kLargestSampleSize) {
        return false;
    }
    SampleReference64Record record{};
    record.dataOffset.lo = static_cast<std::uint32_t>(start);
    record.dataOffset.hi = static_cast<std::int32_t>(start >> 32);
    record.dataSize = static_cast<std::uint32_t>(end - start);
    record.durationPerSample = duration;
    record.numberOfSamples = 1;
    record.sampleFlags = frameType == 2 ? mediaSampleNotSync : 0;
    TimeValue sampleTime = 0;
    return AddMediaSampleReferences64(media_, sampleDescription_, 1, &record, &sampleTime) == noErr;
}

void CQuickTimeMovie::Close() {
    FinishMedia();
    StoreMovie();
    DisposeHandles();
}

void CQuickTimeMovie::FinishMedia() {
    if (media_ == nullptr) {
        return;
    }
    EndMediaEdits(media_);
    TimeValue duration = GetMediaDuration(media_);
    InsertMediaIntoTrack(track_, 0, 0, duration, fixed1);
}

void CQuickTimeMovie::StoreMovie() {
    if (movie_ != nullptr && dataHandler_ != nullptr) {
        AddMovieToStorage(movie_, dataHandler_);
        CloseMovieStorage(dataHandler_);
        CloseComponent(dataHandler_);
    }
    if (movie_ != nullptr) {
        DisposeMovie(movie_);
    }
    movie_ = nullptr;
    dataHandler_ = nullptr;
    media_ = nullptr;
    track_ = nullptr;
}

void CQuickTimeMovie::DisposeHandles() {
    for (Handle* handle : {&sourceDataRef_, &outputDataRef_, &sampleDescription_}) {
        if (*handle != nullptr) {
            DisposeHandle(*handle);
            *handle = nullptr;
        }
    }
}

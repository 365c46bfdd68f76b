#include "tests/runtime/movie_session.h"

namespace tarnwick::test {

Handle MakeDataReference(const std::string& path, QTPathStyle style) {
    CFStringRef text = CFStringCreateWithCString(nullptr, path.c_str(), kCFStringEncodingUTF8);
    Handle dataRef = nullptr;
    OSType type = 0;
    const OSErr error = QTNewDataReferenceFromFullPathCFString(text, style, 0, &dataRef, &type);
    CFRelease(text);
    return error == noErr ? dataRef : nullptr;
}

OSErr MovieSession::Create(const std::string& moviePath, std::int32_t flags) {
    outputRef_ = MakeDataReference(moviePath);
    return CreateMovieStorage(outputRef_, FourCharCode('a', 'l', 'i', 's'),
                              FourCharCode('T', 'V', 'O', 'D'), smSystemScript, flags,
                              &dataHandler_, &movie_);
}

OSErr MovieSession::AddVideoTrack(const std::string& sourcePath, const VideoFormat& format) {
    track_ = NewMovieTrack(movie_, FixRatio(static_cast<std::int16_t>(format.width), 1),
                           FixRatio(static_cast<std::int16_t>(format.height), 1), 0);
    description_ = NewHandleClear(sizeof(ImageDescription));
    if (track_ == nullptr || description_ == nullptr) {
        return -1;
    }
    auto* d = reinterpret_cast<ImageDescription*>(*description_);
    d->idSize = sizeof(ImageDescription);
    d->cType = FourCharCode('V', 'X', 'H', 'D');
    d->version = 1;
    d->vendor = FourCharCode('Z', 'O', 'R', 'V');
    d->width = static_cast<std::int16_t>(format.width);
    d->height = static_cast<std::int16_t>(format.height);
    c2pstrcpy(d->name, "Vellix HD");
    media_ = NewTrackMedia(track_, VideoMediaType, format.timeScale, nullptr, 0);
    if (media_ == nullptr) {
        return -1;
    }
    sourceRef_ = MakeDataReference(sourcePath);
    if (sourceRef_ == nullptr) {
        return -1;
    }
    const OSErr error =
        AddMediaDataRef(media_, &d->dataRefIndex, sourceRef_, FourCharCode('a', 'l', 'i', 's'));
    BeginMediaEdits(media_);
    return error;
}

SampleReference64Record SampleRecord(std::uint64_t offset, std::uint32_t size, TimeValue duration,
                                     bool sync) {
    SampleReference64Record record{};
    record.dataOffset.lo = static_cast<std::uint32_t>(offset);
    record.dataOffset.hi = static_cast<std::int32_t>(offset >> 32);
    record.dataSize = size;
    record.durationPerSample = duration;
    record.numberOfSamples = 1;
    record.sampleFlags = sync ? 0 : mediaSampleNotSync;
    return record;
}

OSErr MovieSession::AddFrame(std::uint64_t offset, std::uint32_t size, TimeValue duration,
                             bool sync) {
    SampleReference64Record record = SampleRecord(offset, size, duration, sync);
    TimeValue sampleTime = 0;
    return AddMediaSampleReferences64(media_, description_, 1, &record, &sampleTime);
}

OSErr MovieSession::Close() {
    OSErr stored = noErr;
    if (media_ != nullptr) {
        EndMediaEdits(media_);
        InsertMediaIntoTrack(track_, 0, 0, GetMediaDuration(media_), fixed1);
    }
    if (movie_ != nullptr && dataHandler_ != nullptr) {
        stored = AddMovieToStorage(movie_, dataHandler_);
        CloseMovieStorage(dataHandler_);
        CloseComponent(dataHandler_);
    }
    DisposeMovie(movie_);
    movie_ = nullptr;
    dataHandler_ = nullptr;
    media_ = nullptr;
    track_ = nullptr;
    for (Handle* handle : {&sourceRef_, &outputRef_, &description_}) {
        DisposeHandle(*handle);
        *handle = nullptr;
    }
    return stored;
}

}  // namespace tarnwick::test

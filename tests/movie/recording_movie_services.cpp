#include "tests/movie/recording_movie_services.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

MovieServiceRecording recording;
Handle descriptionHandle = nullptr;
int dataReferencesMade = 0;

// Fixed stand-ins for the references the fake hands out.
Movie const kMovie = reinterpret_cast<Movie>(0x1001);
Track const kTrack = reinterpret_cast<Track>(0x1002);
Media const kMedia = reinterpret_cast<Media>(0x1003);
DataHandler const kHandler = reinterpret_cast<DataHandler>(0x1004);
CFStringRef const kText = reinterpret_cast<CFStringRef>(0x1005);
constexpr OSType kAliasType = FourCharCode('a', 'l', 'i', 's');

std::map<const void*, std::string>& Names() {
    static std::map<const void*, std::string> names;
    return names;
}

std::string NameOf(const void* reference) {
    if (reference == nullptr) {
        return "null";
    }
    auto found = Names().find(reference);
    return found != Names().end() ? found->second : "unknown";
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string FourCC(OSType type) {
    std::string text = "'";
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += static_cast<char>((type >> shift) & 0xFF);
    }
    return text + "'";
}

void Record(const char* routine, std::initializer_list<std::string> arguments) {
    std::string line = std::string(routine) + "(";
    const char* separator = "";
    for (const std::string& argument : arguments) {
        line += separator + argument;
        separator = ", ";
    }
    recording.calls.push_back(line + ")");
}

OSErr Result(const char* routine) {
    auto found = recording.failing.find(routine);
    return found != recording.failing.end() ? found->second : noErr;
}

bool Fails(const char* routine) {
    return Result(routine) != noErr;
}

template <typename Reference>
Reference Hand(const char* routine, Reference reference) {
    return Fails(routine) ? nullptr : reference;
}

Handle NewNamedHandle(std::size_t size, const char* name) {
    auto handle = static_cast<Handle>(std::calloc(1, sizeof(Ptr)));
    *handle = static_cast<Ptr>(std::calloc(1, size));
    Names()[handle] = name;
    return handle;
}

}  // namespace

MovieServiceRecording& StartRecording() {
    recording = MovieServiceRecording{};
    descriptionHandle = nullptr;
    dataReferencesMade = 0;
    Names() = {{kMovie, "movie"},
               {kTrack, "track"},
               {kMedia, "media"},
               {kHandler, "handler"},
               {kText, "text"}};
    return recording;
}

MovieServiceRecording& Recording() {
    return recording;
}

extern "C" {

OSErr EnterMovies(void) {
    Record("EnterMovies", {});
    return Result("EnterMovies");
}

OSErr InitializeQTML(std::int32_t flags) {
    Record("InitializeQTML", {std::to_string(flags)});
    return Result("InitializeQTML");
}

std::uint8_t QTMLIsInitialized(void) {
    Record("QTMLIsInitialized", {});
    return 0;
}

Handle NewHandleClear(Size byteCount) {
    Record("NewHandleClear", {std::to_string(byteCount)});
    if (Fails("NewHandleClear")) {
        return nullptr;
    }
    descriptionHandle = NewNamedHandle(byteCount, "description");
    return descriptionHandle;
}

void DisposeHandle(Handle h) {
    Record("DisposeHandle", {NameOf(h)});
    Names().erase(h);
    if (h == descriptionHandle) {
        descriptionHandle = nullptr;
    }
    std::free(*h);
    std::free(h);
}

Fixed FixRatio(std::int16_t numer, std::int16_t denom) {
    Record("FixRatio", {std::to_string(numer), std::to_string(denom)});
    return static_cast<Fixed>(static_cast<std::uint16_t>(numer)) << 16;
}

void c2pstrcpy(unsigned char* dst, const char* src) {
    Record("c2pstrcpy", {std::string("\"") + src + "\""});
    std::size_t length = std::strlen(src);
    dst[0] = static_cast<unsigned char>(length);
    std::memcpy(dst + 1, src, length);
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr,
                                      CFStringEncoding encoding) {
    Record("CFStringCreateWithCString",
           {NameOf(alloc), std::string("\"") + cStr + "\"", Hex(encoding)});
    return Hand("CFStringCreateWithCString", kText);
}

void CFRelease(CFTypeRef cf) {
    Record("CFRelease", {NameOf(cf)});
}

OSErr QTNewDataReferenceFromFullPathCFString(CFStringRef filePath, QTPathStyle pathStyle,
                                             std::uint32_t flags, Handle* outDataRef,
                                             OSType* outDataRefType) {
    Record("QTNewDataReferenceFromFullPathCFString",
           {NameOf(filePath), std::to_string(pathStyle), std::to_string(flags)});
    if (OSErr err = Result("QTNewDataReferenceFromFullPathCFString")) {
        return err;
    }
    *outDataRef = NewNamedHandle(4, dataReferencesMade++ == 0 ? "outputRef" : "sourceRef");
    *outDataRefType = kAliasType;
    return noErr;
}

OSErr CreateMovieStorage(Handle dataRef, OSType dataRefType, OSType creator, ScriptCode scriptTag,
                         std::int32_t createMovieFileFlags, DataHandler* outDataHandler,
                         Movie* newmovie) {
    Record("CreateMovieStorage",
           {NameOf(dataRef), FourCC(dataRefType), FourCC(creator), std::to_string(scriptTag),
            Hex(static_cast<std::uint32_t>(createMovieFileFlags))});
    if (OSErr err = Result("CreateMovieStorage")) {
        return err;
    }
    *outDataHandler = kHandler;
    *newmovie = kMovie;
    return noErr;
}

OSErr AddMovieToStorage(Movie theMovie, DataHandler dh) {
    Record("AddMovieToStorage", {NameOf(theMovie), NameOf(dh)});
    return Result("AddMovieToStorage");
}

OSErr CloseMovieStorage(DataHandler dh) {
    Record("CloseMovieStorage", {NameOf(dh)});
    return Result("CloseMovieStorage");
}

OSErr CloseComponent(ComponentInstance aComponentInstance) {
    Record("CloseComponent", {NameOf(aComponentInstance)});
    return Result("CloseComponent");
}

void DisposeMovie(Movie theMovie) {
    Record("DisposeMovie", {NameOf(theMovie)});
}

Track NewMovieTrack(Movie theMovie, Fixed width, Fixed height, std::int16_t trackVolume) {
    Record("NewMovieTrack", {NameOf(theMovie), Hex(static_cast<std::uint32_t>(width)),
                             Hex(static_cast<std::uint32_t>(height)), std::to_string(trackVolume)});
    return Hand("NewMovieTrack", kTrack);
}

Media NewTrackMedia(Track theTrack, OSType mediaType, TimeScale timeScale, Handle dataRef,
                    OSType dataRefType) {
    Record("NewTrackMedia", {NameOf(theTrack), FourCC(mediaType), std::to_string(timeScale),
                             NameOf(dataRef), std::to_string(dataRefType)});
    return Hand("NewTrackMedia", kMedia);
}

OSErr AddMediaDataRef(Media theMedia, std::int16_t* index, Handle dataRef, OSType dataRefType) {
    // The index must be written straight into the sample description.
    auto* description = reinterpret_cast<ImageDescription*>(*descriptionHandle);
    bool intoDescription = index == &description->dataRefIndex;
    Record("AddMediaDataRef",
           {NameOf(theMedia), intoDescription ? "&description.dataRefIndex" : "elsewhere",
            NameOf(dataRef), FourCC(dataRefType)});
    if (OSErr err = Result("AddMediaDataRef")) {
        return err;
    }
    *index = 1;
    return noErr;
}

OSErr BeginMediaEdits(Media theMedia) {
    Record("BeginMediaEdits", {NameOf(theMedia)});
    return Result("BeginMediaEdits");
}

OSErr EndMediaEdits(Media theMedia) {
    Record("EndMediaEdits", {NameOf(theMedia)});
    if (descriptionHandle != nullptr) {
        std::memcpy(&recording.description, *descriptionHandle, sizeof(ImageDescription));
    }
    return Result("EndMediaEdits");
}

OSErr AddMediaSampleReferences64(Media theMedia, SampleDescriptionHandle sampleDescriptionH,
                                 std::int32_t numberOfSampleReferences,
                                 SampleReference64Record* sampleRefs, TimeValue* sampleTime) {
    Record("AddMediaSampleReferences64",
           {NameOf(theMedia), NameOf(sampleDescriptionH), std::to_string(numberOfSampleReferences),
            sampleTime != nullptr ? "&time" : "null"});
    if (OSErr err = Result("AddMediaSampleReferences64")) {
        return err;
    }
    recording.samples.push_back(*sampleRefs);
    recording.mediaDuration += sampleRefs->durationPerSample;
    return noErr;
}

TimeValue GetMediaDuration(Media theMedia) {
    Record("GetMediaDuration", {NameOf(theMedia)});
    return recording.mediaDuration;
}

OSErr InsertMediaIntoTrack(Track theTrack, TimeValue trackStart, TimeValue mediaTime,
                           TimeValue mediaDuration, Fixed mediaRate) {
    Record("InsertMediaIntoTrack",
           {NameOf(theTrack), std::to_string(trackStart), std::to_string(mediaTime),
            std::to_string(mediaDuration), Hex(static_cast<std::uint32_t>(mediaRate))});
    return Result("InsertMediaIntoTrack");
}

}  // extern "C"

// The QuickTime movie services that the repair tool calls, declared by their QuickTime names.
//
// Whoever answers these calls is not known here: the native build links our own runtime
// (runtime/), the Windows build reaches QuickTime.qts through the call stubs of qtml/, and the
// tests link a recording fake. Every routine takes and returns only 32-bit words or smaller on a
// 32-bit target, so one stack word carries each argument.
#pragma once

#include <cstdint>

extern "C" {

typedef std::int16_t OSErr;
typedef std::uint32_t OSType;
typedef std::int32_t Fixed;  // signed 16.16 fixed point
typedef std::int32_t TimeValue;
typedef std::int32_t TimeScale;
typedef std::int16_t ScriptCode;
typedef std::int32_t Size;
typedef char* Ptr;
typedef Ptr* Handle;

typedef struct MovieRecord* Movie;
typedef struct TrackRecord* Track;
typedef struct MediaRecord* Media;
typedef struct ComponentInstanceRecord* ComponentInstance;
typedef ComponentInstance DataHandler;

typedef const struct OpaqueCFString* CFStringRef;
typedef const void* CFTypeRef;
typedef const struct OpaqueCFAllocator* CFAllocatorRef;
typedef std::uint32_t CFStringEncoding;
typedef std::int32_t QTPathStyle;

typedef Handle SampleDescriptionHandle;

// Builds an OSType from its four characters, the first in the most significant byte.
constexpr OSType FourCharCode(char a, char b, char c, char d) {
    return (static_cast<OSType>(static_cast<unsigned char>(a)) << 24) |
           (static_cast<OSType>(static_cast<unsigned char>(b)) << 16) |
           (static_cast<OSType>(static_cast<unsigned char>(c)) << 8) |
           static_cast<OSType>(static_cast<unsigned char>(d));
}

constexpr OSErr noErr = 0;
constexpr CFStringEncoding kCFStringEncodingMacRoman = 0;
constexpr CFStringEncoding kCFStringEncodingUTF8 = 0x08000100;
constexpr QTPathStyle kQTNativeDefaultPathStyle = -1;
constexpr QTPathStyle kQTPOSIXPathStyle = 0;
constexpr ScriptCode smSystemScript = -2;
constexpr std::int32_t createMovieFileDeleteCurFile = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t createMovieFileDontCreateResFile = 0x10000000;
constexpr std::int16_t mediaSampleNotSync = 1;
constexpr Fixed fixed1 = 0x10000;
constexpr OSType VideoMediaType = FourCharCode('v', 'i', 'd', 'e');

// A 64-bit value as two 32-bit halves, the low half first.
struct wide {
    std::uint32_t lo;
    std::int32_t hi;
};

struct SampleReference64Record {
    wide dataOffset;
    std::uint32_t dataSize;
    TimeValue durationPerSample;
    std::int32_t numberOfSamples;
    std::int16_t sampleFlags;
};

// The sample description of a video media, as the caller fills it in native byte order.
// The runtime stores it big-endian in the movie.
#pragma pack(push, 2)
struct ImageDescription {
    std::int32_t idSize;
    OSType cType;
    std::int32_t resvd1;
    std::int16_t resvd2;
    std::int16_t dataRefIndex;
    std::int16_t version;
    std::int16_t revisionLevel;
    OSType vendor;
    std::int32_t temporalQuality;
    std::int32_t spatialQuality;
    std::int16_t width;
    std::int16_t height;
    Fixed hRes;
    Fixed vRes;
    std::int32_t dataSize;
    std::int16_t frameCount;
    unsigned char name[32];
    std::int16_t depth;
    std::int16_t clutID;
};
#pragma pack(pop)
static_assert(sizeof(ImageDescription) == 86, "an image description is 86 bytes");

// Start-up.
OSErr EnterMovies(void);
OSErr InitializeQTML(std::int32_t flags);
// Non-zero only when this runtime has already been initialised by InitializeQTML.
std::uint8_t QTMLIsInitialized(void);

// Memory Manager, fixed point and text utilities.
Handle NewHandleClear(Size byteCount);
void DisposeHandle(Handle h);
Fixed FixRatio(std::int16_t numer, std::int16_t denom);
void c2pstrcpy(unsigned char* dst, const char* src);

// Text objects.
CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr,
                                      CFStringEncoding encoding);
void CFRelease(CFTypeRef cf);

// Data references and movie storage.
OSErr QTNewDataReferenceFromFullPathCFString(CFStringRef filePath, QTPathStyle pathStyle,
                                             std::uint32_t flags, Handle* outDataRef,
                                             OSType* outDataRefType);
OSErr CreateMovieStorage(Handle dataRef, OSType dataRefType, OSType creator, ScriptCode scriptTag,
                         std::int32_t createMovieFileFlags, DataHandler* outDataHandler,
                         Movie* newmovie);
OSErr AddMovieToStorage(Movie theMovie, DataHandler dh);
OSErr CloseMovieStorage(DataHandler dh);
OSErr CloseComponent(ComponentInstance aComponentInstance);
void DisposeMovie(Movie theMovie);

// Tracks and media.
Track NewMovieTrack(Movie theMovie, Fixed width, Fixed height, std::int16_t trackVolume);
Media NewTrackMedia(Track theTrack, OSType mediaType, TimeScale timeScale, Handle dataRef,
                    OSType dataRefType);
OSErr AddMediaDataRef(Media theMedia, std::int16_t* index, Handle dataRef, OSType dataRefType);
OSErr BeginMediaEdits(Media theMedia);
OSErr EndMediaEdits(Media theMedia);
OSErr AddMediaSampleReferences64(Media theMedia, SampleDescriptionHandle sampleDescriptionH,
                                 std::int32_t numberOfSampleReferences,
                                 SampleReference64Record* sampleRefs, TimeValue* sampleTime);
TimeValue GetMediaDuration(Media theMedia);
OSErr InsertMediaIntoTrack(Track theTrack, TimeValue trackStart, TimeValue mediaTime,
                           TimeValue mediaDuration, Fixed mediaRate);

}  // extern "C"

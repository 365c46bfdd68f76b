// Adding sample references to a media.
#include <cstring>
#include <limits>

#include "runtime/errors.h"
#include "runtime/handles.h"
#include "runtime/movie_objects.h"
#include "runtime/no_throw.h"

namespace tarnwick::runtime {
namespace {

// Keeps the stored sample tables well inside the 32-bit sizes of their atoms.
constexpr std::size_t kMaxSamplesPerMedia = 100'000'000;

// The description a handle holds, when it is a live handle holding a whole one.
std::optional<ImageDescription> DescriptionIn(SampleDescriptionHandle handle) {
    const HandleBlock block = FindHandleBlock(handle);
    if (block.data == nullptr || block.size < sizeof(ImageDescription)) {
        return std::nullopt;
    }
    ImageDescription description;
    std::memcpy(&description, block.data, sizeof description);
    return description;
}

// Every sample of a media uses one description; the first sample added fixes it.
OSErr CheckDescription(const MediaRecord& media, const ImageDescription& description) {
    if (description.idSize != sizeof(ImageDescription)) {
        return paramErr;
    }
    if (description.dataRefIndex < 1 ||
        static_cast<std::size_t>(description.dataRefIndex) > media.dataReferences.size()) {
        return badDataRefIndex;
    }
    if (media.description &&
        std::memcmp(&*media.description, &description, sizeof description) != 0) {
        return paramErr;
    }
    return noErr;
}

// One sample per record: a size from 1 to 2^32-1 at an offset below 2^63 (with the whole sample
// below it too), and a positive duration.
std::optional<SampleReference> SampleFrom(const SampleReference64Record& record) {
    const std::uint64_t offset =
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(record.dataOffset.hi)) << 32) |
        record.dataOffset.lo;
    const std::uint64_t limit = std::uint64_t{1} << 63;
    if (record.numberOfSamples != 1 || record.dataSize == 0 || record.durationPerSample <= 0 ||
        offset >= limit || limit - offset < record.dataSize) {
        return std::nullopt;
    }
    return SampleReference{offset, record.dataSize, record.durationPerSample,
                           (record.sampleFlags & mediaSampleNotSync) == 0};
}

// Checks every record before any is added, so that a refused call adds nothing.
OSErr CheckRecords(const MediaRecord& media, const SampleReference64Record* records,
                   std::int32_t count) {
    std::int64_t duration = media.samples.TotalDuration();
    for (std::int32_t i = 0; i < count; ++i) {
        const std::optional<SampleReference> sample = SampleFrom(records[i]);
        if (!sample) {
            return paramErr;
        }
        duration += sample->duration;
    }
    if (duration > std::numeric_limits<TimeValue>::max()) {
        return invalidDuration;
    }
    if (media.samples.Count() + static_cast<std::size_t>(count) > kMaxSamplesPerMedia) {
        return paramErr;
    }
    return noErr;
}

}  // namespace
}  // namespace tarnwick::runtime

using namespace tarnwick::runtime;

extern "C" OSErr AddMediaSampleReferences64(Media theMedia,
                                            SampleDescriptionHandle sampleDescriptionH,
                                            std::int32_t numberOfSampleReferences,
                                            SampleReference64Record* sampleRefs,
                                            TimeValue* sampleTime) {
    MediaRecord* media = FindMedia(theMedia);
    if (media == nullptr) {
        return invalidMedia;
    }
    const std::optional<ImageDescription> description = DescriptionIn(sampleDescriptionH);
    if (!description) {
        return nilHandleErr;
    }
    if (numberOfSampleReferences < 1 || sampleRefs == nullptr) {
        return paramErr;
    }
    if (const OSErr error = CheckDescription(*media, *description); error != noErr) {
        return error;
    }
    if (const OSErr error = CheckRecords(*media, sampleRefs, numberOfSampleReferences);
        error != noErr) {
        return error;
    }
    return NoThrow<OSErr>(memFullErr, [&] {
        const TimeValue firstSampleTime = static_cast<TimeValue>(media->samples.TotalDuration());
        media->description = *description;
        for (std::int32_t i = 0; i < numberOfSampleReferences; ++i) {
            media->samples.Append(*SampleFrom(sampleRefs[i]));
        }
        if (sampleTime != nullptr) {
            *sampleTime = firstSampleTime;
        }
        return noErr;
    });
}

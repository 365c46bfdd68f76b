// The runtime fed arbitrary sequences of sample references, then stored and read back.
//
// Input: a mode byte, a 16-bit time scale, then operations. In mode 0 each operation is a frame
// extent handed to the reference movie writer, as the repair run hands it one; in mode 1 each is a
// call of AddMediaSampleReferences64 with up to three records of any content. An operation may
// start where the last accepted sample ended, so that samples share chunks.
//
// Checked: the stored movie's sample tables (stsz, co64, stsc, stts, stss) read back to exactly
// the samples the runtime accepted, in order; the media's time scale and duration; a refused call
// adds nothing; and an accepted sample has a size, a positive duration and lies below 2^63.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/check.h"
#include "fuzz/scratch_folder.h"
#include "fuzz/stored_movie_reader.h"
#include "movie/quicktime_movie.h"
#include "tests/runtime/movie_session.h"

namespace {

using tarnwick::fuzz::Check;
using tarnwick::fuzz::StoredSample;

// Reads big-endian fields from the input; a field past its end reads as zero bytes.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    std::uint64_t Bytes(int count) {
        std::uint64_t value = 0;
        for (int i = 0; i < count; ++i) {
            value = (value << 8) | (at_ < size_ ? data_[at_] : 0);
            ++at_;
        }
        return value;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

constexpr std::uint64_t kOffsetLimit = std::uint64_t{1} << 63;

// What every accepted sample must be, whoever accepted it.
void CheckAcceptable(const StoredSample& sample) {
    Check(sample.size > 0 && sample.duration > 0 &&
          sample.duration <= std::numeric_limits<std::int32_t>::max());
    Check(sample.offset < kOffsetLimit && kOffsetLimit - sample.offset >= sample.size);
}

// The samples accepted so far, and where the last one ended.
struct Accepted {
    std::vector<StoredSample> samples;
    std::uint64_t End() const {
        return samples.empty() ? 0 : samples.back().offset + samples.back().size;
    }
    void Add(const StoredSample& sample) {
        CheckAcceptable(sample);
        samples.push_back(sample);
    }
};

// Mode 0: frame extents through the reference movie writer.
void AddFrameExtents(Input& input, CQuickTimeMovie& writer, Accepted& accepted) {
    while (!input.Empty()) {
        const auto kind = static_cast<std::uint8_t>(input.Bytes(1));
        std::uint64_t start = input.Bytes(8);
        if (kind & 1) {
            start = accepted.End();
        }
        const std::uint64_t length = input.Bytes(5);
        const std::uint64_t end = (kind & 2) ? start - length : start + length;
        const auto type = static_cast<std::int32_t>((kind >> 2) & 3);
        const auto duration = static_cast<std::int32_t>(input.Bytes(4));
        if (writer.AddFrameReference(start, end, type, duration)) {
            accepted.Add({start, static_cast<std::uint32_t>(end - start),
                          static_cast<std::uint32_t>(duration), type != 2});
        }
    }
}

SampleReference64Record ReadRecord(Input& input, bool followOn, std::uint64_t end) {
    SampleReference64Record record{};
    record.dataOffset.lo = static_cast<std::uint32_t>(input.Bytes(4));
    record.dataOffset.hi = static_cast<std::int32_t>(input.Bytes(4));
    if (followOn) {
        record.dataOffset.lo = static_cast<std::uint32_t>(end);
        record.dataOffset.hi = static_cast<std::int32_t>(end >> 32);
    }
    record.dataSize = static_cast<std::uint32_t>(input.Bytes(4));
    record.durationPerSample = static_cast<TimeValue>(input.Bytes(4));
    record.numberOfSamples = static_cast<std::int32_t>(input.Bytes(4));
    record.sampleFlags = static_cast<std::int16_t>(input.Bytes(2));
    return record;
}

StoredSample SampleOf(const SampleReference64Record& record) {
    const std::uint64_t offset =
        (std::uint64_t{static_cast<std::uint32_t>(record.dataOffset.hi)} << 32) |
        record.dataOffset.lo;
    return {offset, record.dataSize, static_cast<std::uint32_t>(record.durationPerSample),
            (record.sampleFlags & mediaSampleNotSync) == 0};
}

// Mode 1: whole calls of AddMediaSampleReferences64, each of one to three records.
void AddSampleReferences(Input& input, tarnwick::test::MovieSession& session, Accepted& accepted) {
    while (!input.Empty()) {
        const auto kind = static_cast<std::uint8_t>(input.Bytes(1));
        std::vector<SampleReference64Record> records;
        for (int i = 0; i <= kind % 3; ++i) {
            const std::uint64_t end =
                records.empty() ? accepted.End()
                                : SampleOf(records.back()).offset + records.back().dataSize;
            records.push_back(ReadRecord(input, (kind >> (2 + i)) & 1, end));
        }
        TimeValue sampleTime = -1;
        const OSErr result = AddMediaSampleReferences64(session.media(), session.description(),
                                                        static_cast<std::int32_t>(records.size()),
                                                        records.data(), &sampleTime);
        if (result != noErr) {
            continue;
        }
        std::int64_t before = 0;
        for (const StoredSample& sample : accepted.samples) {
            before += sample.duration;
        }
        Check(sampleTime == before);
        for (const SampleReference64Record& record : records) {
            Check(record.numberOfSamples == 1);
            accepted.Add(SampleOf(record));
        }
    }
}

void CheckStored(const std::string& movie, std::uint16_t timeScale, const Accepted& accepted) {
    const std::optional<tarnwick::fuzz::StoredMedia> stored =
        tarnwick::fuzz::ReadStoredMedia(movie);
    Check(stored.has_value());
    Check(stored->timeScale == timeScale);
    std::uint64_t duration = 0;
    for (const StoredSample& sample : accepted.samples) {
        duration += sample.duration;
    }
    Check(duration <= std::numeric_limits<std::int32_t>::max());
    Check(stored->duration == duration);
    Check(stored->samples == accepted.samples);
}

// The source the movie refers to, there as a real file; its bytes are never read.
std::string MakeEmptyFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr && std::fclose(file) == 0);
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const tarnwick::fuzz::ScratchFolder scratch("fuzz-movie");
    static const std::string source = MakeEmptyFile(scratch.File("take.mov"));
    static const std::string movie = scratch.File("take-new.mov");
    Input input(data, size);
    const bool rawRecords = input.Bytes(1) & 1;
    const auto timeScale = static_cast<std::uint16_t>(input.Bytes(2));
    Accepted accepted;
    bool trackReady = false;
    if (rawRecords) {
        tarnwick::test::MovieSession session;
        Check(session.Create(movie) == noErr);
        trackReady = session.AddVideoTrack(source, {2048, 1152, timeScale}) == noErr;
        if (trackReady) {
            AddSampleReferences(input, session, accepted);
        }
        Check(session.Close() == noErr);
    } else {
        CQuickTimeMovie writer;
        Check(writer.CreateMovieFile(movie.c_str()));
        trackReady = writer.AddVideoTrack(2048, 1152, FourCharCode('V', 'X', 'H', 'D'), "Vellix HD",
                                          timeScale, source.c_str());
        if (trackReady) {
            AddFrameExtents(input, writer, accepted);
        }
        writer.Close();
    }
    // Only a time scale of 0 leaves the media unmade.
    Check(trackReady == (timeScale != 0));
    if (trackReady) {
        CheckStored(movie, timeScale, accepted);
    }
    return 0;
}

#include "runtime/sample_table_atoms.h"

#include "movie/movie_services.h"

namespace tarnwick::runtime {
namespace {

// Calls visit(first sample, sample count) for each chunk: a run of samples each starting where
// the one before it ends.
template <typename Visit>
void ForEachChunk(const SampleTable& samples, Visit&& visit) {
    std::size_t first = 0;
    for (std::size_t i = 1; i <= samples.Count(); ++i) {
        if (i == samples.Count() ||
            samples.OffsetAt(i) != samples.OffsetAt(i - 1) + samples.SizeAt(i - 1)) {
            visit(first, i - first);
            first = i;
        }
    }
}

// Calls visit(first chunk number, samples per chunk) for each run of chunks of equal length.
template <typename Visit>
void ForEachChunkRun(const SampleTable& samples, Visit&& visit) {
    std::size_t chunkNumber = 0;
    std::size_t lastLength = 0;
    ForEachChunk(samples, [&](std::size_t, std::size_t length) {
        ++chunkNumber;
        if (length != lastLength) {
            visit(chunkNumber, length);
            lastLength = length;
        }
    });
}

// A table atom: version and flags, an entry count, then entries of fixed width.
class TableBody : public AtomBody {
  public:
    TableBody(const SampleTable& samples, std::uint64_t headerSize, std::uint64_t entryWidth)
        : samples_(samples), headerSize_(headerSize), entryWidth_(entryWidth) {}

    std::uint64_t Size() const override { return headerSize_ + entryCount_ * entryWidth_; }

  protected:
    const SampleTable& samples_;
    std::uint64_t entryCount_ = 0;  // set by each table's constructor

  private:
    std::uint64_t headerSize_;
    std::uint64_t entryWidth_;
};

class TimeToSampleBody : public TableBody {
  public:
    explicit TimeToSampleBody(const SampleTable& samples) : TableBody(samples, 8, 8) {
        samples.ForEachDurationRun([&](const DurationRun&) { ++entryCount_; });
    }
    void WriteTo(BigEndianWriter& out) const override {
        out.U32(0);
        out.U32(static_cast<std::uint32_t>(entryCount_));
        samples_.ForEachDurationRun([&](const DurationRun& run) {
            out.U32(run.count);
            out.U32(static_cast<std::uint32_t>(run.duration));
        });
    }
};

class SyncSampleBody : public TableBody {
  public:
    explicit SyncSampleBody(const SampleTable& samples) : TableBody(samples, 8, 4) {
        entryCount_ = samples.SyncCount();
    }
    void WriteTo(BigEndianWriter& out) const override {
        out.U32(0);
        out.U32(static_cast<std::uint32_t>(entryCount_));
        for (std::size_t i = 0; i < samples_.Count(); ++i) {
            if (samples_.IsSyncAt(i)) {
                out.U32(static_cast<std::uint32_t>(i + 1));
            }
        }
    }
};

class SampleToChunkBody : public TableBody {
  public:
    explicit SampleToChunkBody(const SampleTable& samples) : TableBody(samples, 8, 12) {
        ForEachChunkRun(samples, [&](std::size_t, std::size_t) { ++entryCount_; });
    }
    void WriteTo(BigEndianWriter& out) const override {
        out.U32(0);
        out.U32(static_cast<std::uint32_t>(entryCount_));
        ForEachChunkRun(samples_, [&](std::size_t firstChunk, std::size_t length) {
            out.U32(static_cast<std::uint32_t>(firstChunk));
            out.U32(static_cast<std::uint32_t>(length));
            out.U32(1);  // sample description 1
        });
    }
};

class SampleSizeBody : public TableBody {
  public:
    explicit SampleSizeBody(const SampleTable& samples) : TableBody(samples, 12, 4) {
        entryCount_ = samples.Count();
    }
    void WriteTo(BigEndianWriter& out) const override {
        out.U32(0);
        out.U32(0);  // no common size: one entry per sample
        out.U32(static_cast<std::uint32_t>(entryCount_));
        for (std::size_t i = 0; i < samples_.Count(); ++i) {
            out.U32(samples_.SizeAt(i));
        }
    }
};

class ChunkOffsetBody : public TableBody {
  public:
    explicit ChunkOffsetBody(const SampleTable& samples) : TableBody(samples, 8, 8) {
        ForEachChunk(samples, [&](std::size_t, std::size_t) { ++entryCount_; });
    }
    void WriteTo(BigEndianWriter& out) const override {
        out.U32(0);
        out.U32(static_cast<std::uint32_t>(entryCount_));
        ForEachChunk(samples_,
                     [&](std::size_t first, std::size_t) { out.U64(samples_.OffsetAt(first)); });
    }
};

}  // namespace

std::vector<Atom> SampleTableAtoms(const SampleTable& samples) {
    std::vector<Atom> atoms;
    atoms.emplace_back(FourCharCode('s', 't', 't', 's'),
                       std::make_unique<TimeToSampleBody>(samples));
    if (samples.SyncCount() != samples.Count()) {
        atoms.emplace_back(FourCharCode('s', 't', 's', 's'),
                           std::make_unique<SyncSampleBody>(samples));
    }
    atoms.emplace_back(FourCharCode('s', 't', 's', 'c'),
                       std::make_unique<SampleToChunkBody>(samples));
    atoms.emplace_back(FourCharCode('s', 't', 's', 'z'), std::make_unique<SampleSizeBody>(samples));
    atoms.emplace_back(FourCharCode('c', 'o', '6', '4'),
                       std::make_unique<ChunkOffsetBody>(samples));
    return atoms;
}

}  // namespace tarnwick::runtime

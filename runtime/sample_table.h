// The samples of a media, in the order they were added.
//
// Each sample takes 12 bytes: its 64-bit offset, whose top bit (never part of an offset, which
// stays below 2^63) marks a not-sync sample, and its 32-bit size. Durations are kept as runs of
// equal values; should runs become more costly than 4 bytes per sample, they turn into one
// duration per sample. A sample thus never costs more than 16 bytes.
#pragma once

#include <cstdint>
#include <limits>

#include "runtime/chunked_store.h"

namespace tarnwick::runtime {

struct SampleReference {
    std::uint64_t offset = 0;  // below 2^63
    std::uint32_t size = 0;
    std::int32_t duration = 0;  // positive
    bool sync = true;
};

struct DurationRun {
    std::uint32_t count = 0;
    std::int32_t duration = 0;
};

class SampleTable {
  public:
    // Adds the sample to every column or, when memory runs out (std::bad_alloc), to none.
    void Append(const SampleReference& sample);

    std::size_t Count() const { return sizes_.size(); }
    std::size_t SyncCount() const { return syncCount_; }
    std::int64_t TotalDuration() const { return totalDuration_; }

    std::uint64_t OffsetAt(std::size_t index) const { return offsets_[index] & ~kNotSyncBit; }
    std::uint32_t SizeAt(std::size_t index) const { return sizes_[index]; }
    bool IsSyncAt(std::size_t index) const { return (offsets_[index] & kNotSyncBit) == 0; }

    // Calls visit(DurationRun) for each run of equal durations, in sample order.
    template <typename Visit>
    void ForEachDurationRun(Visit&& visit) const;

  private:
    static constexpr std::uint64_t kNotSyncBit = std::uint64_t{1} << 63;

    bool ExtendsLastRun(std::int32_t duration) const;
    void ReserveOneMore(std::int32_t duration);
    void AppendDuration(std::int32_t duration);
    void SwitchToDurationPerSample();

    ChunkedStore<std::uint64_t> offsets_;
    ChunkedStore<std::uint32_t> sizes_;
    ChunkedStore<DurationRun> durationRuns_;
    ChunkedStore<std::int32_t> durationPerSample_;
    bool durationsPerSample_ = false;
    std::size_t syncCount_ = 0;
    std::int64_t totalDuration_ = 0;
};

template <typename Visit>
void SampleTable::ForEachDurationRun(Visit&& visit) const {
    if (!durationsPerSample_) {
        for (std::size_t i = 0; i < durationRuns_.size(); ++i) {
            visit(durationRuns_[i]);
        }
        return;
    }
    DurationRun run;
    for (std::size_t i = 0; i < durationPerSample_.size(); ++i) {
        const std::int32_t duration = durationPerSample_[i];
        if (run.count != 0 && run.duration != duration) {
            visit(run);
            run.count = 0;
        }
        run.duration = duration;
        ++run.count;
    }
    if (run.count != 0) {
        visit(run);
    }
}

}  // namespace tarnwick::runtime

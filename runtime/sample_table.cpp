#include "runtime/sample_table.h"

namespace tarnwick::runtime {
namespace {

// Runs of durations are given up for one duration per sample once there are this many of them
// and they cost more than 4 bytes per sample.
constexpr std::size_t kFewRuns = 1024;

}  // namespace

void SampleTable::Append(const SampleReference& sample) {
    ReserveOneMore(sample.duration);
    offsets_.PushBack(sample.offset | (sample.sync ? 0 : kNotSyncBit));
    sizes_.PushBack(sample.size);
    AppendDuration(sample.duration);
    syncCount_ += sample.sync ? 1 : 0;
    totalDuration_ += sample.duration;
    if (!durationsPerSample_ && durationRuns_.size() > kFewRuns &&
        durationRuns_.size() * sizeof(DurationRun) > Count() * sizeof(std::int32_t)) {
        SwitchToDurationPerSample();
    }
}

bool SampleTable::ExtendsLastRun(std::int32_t duration) const {
    return !durationRuns_.empty() && durationRuns_[durationRuns_.size() - 1].duration == duration &&
           durationRuns_[durationRuns_.size() - 1].count <
               std::numeric_limits<std::uint32_t>::max();
}

void SampleTable::ReserveOneMore(std::int32_t duration) {
    offsets_.ReserveOneMore();
    sizes_.ReserveOneMore();
    if (durationsPerSample_) {
        durationPerSample_.ReserveOneMore();
    } else if (!ExtendsLastRun(duration)) {
        durationRuns_.ReserveOneMore();
    }
}

void SampleTable::AppendDuration(std::int32_t duration) {
    if (durationsPerSample_) {
        durationPerSample_.PushBack(duration);
    } else if (ExtendsLastRun(duration)) {
        ++durationRuns_.Back().count;
    } else {
        durationRuns_.PushBack({1, duration});
    }
}

// Builds the new column aside, so that running out of memory here changes nothing.
void SampleTable::SwitchToDurationPerSample() {
    ChunkedStore<std::int32_t> perSample;
    for (std::size_t i = 0; i < durationRuns_.size(); ++i) {
        for (std::uint32_t n = 0; n < durationRuns_[i].count; ++n) {
            perSample.PushBack(durationRuns_[i].duration);
        }
    }
    durationPerSample_ = std::move(perSample);
    durationRuns_.Clear();
    durationsPerSample_ = true;
}

}  // namespace tarnwick::runtime

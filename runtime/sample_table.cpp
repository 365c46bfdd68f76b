#include "runtime/sample_table.h"

namespace tarnwick::runtime {
namespace {

// Runs of durations are given up for one duration per sample once there are this many of them
// and they cost more than 4 bytes per sample.
constexpr std::size_t kFewRuns = 1024;

}  // namespace

void SampleTable::Append(const SampleReference& sample) {
    offsets_.PushBack(sample.offset | (sample.sync ? 0 : kNotSyncBit));
    sizes_.PushBack(sample.size);
    AppendDuration(sample.duration);
    syncCount_ += sample.sync ? 1 : 0;
    totalDuration_ += sample.duration;
}

void SampleTable::AppendDuration(std::int32_t duration) {
    if (durationsPerSample_) {
        durationPerSample_.PushBack(duration);
        return;
    }
    if (!durationRuns_.empty() && durationRuns_.Back().duration == duration &&
        durationRuns_.Back().count < std::numeric_limits<std::uint32_t>::max()) {
        ++durationRuns_.Back().count;
        return;
    }
    durationRuns_.PushBack({1, duration});
    if (durationRuns_.size() > kFewRuns &&
        durationRuns_.size() * sizeof(DurationRun) > Count() * sizeof(std::int32_t)) {
        SwitchToDurationPerSample();
    }
}

void SampleTable::SwitchToDurationPerSample() {
    for (std::size_t i = 0; i < durationRuns_.size(); ++i) {
        for (std::uint32_t n = 0; n < durationRuns_[i].count; ++n) {
            durationPerSample_.PushBack(durationRuns_[i].duration);
        }
    }
    durationRuns_.Clear();
    durationsPerSample_ = true;
}

}  // namespace tarnwick::runtime

// A growing sequence kept in fixed-size chunks: memory grows by one chunk at a time, never by
// doubling, and nothing is copied when it grows.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace tarnwick::runtime {

template <typename Value, std::size_t kChunkLength = 4096>
class ChunkedStore {
  public:
    // Makes room for one more value; the only step that allocates, so that a PushBack after it
    // cannot fail.
    void ReserveOneMore() {
        if (size_ == chunks_.size() * kChunkLength) {
            chunks_.push_back(std::make_unique<Value[]>(kChunkLength));
        }
    }

    void PushBack(const Value& value) {
        ReserveOneMore();
        chunks_[size_ / kChunkLength][size_ % kChunkLength] = value;
        ++size_;
    }

    const Value& operator[](std::size_t index) const {
        return chunks_[index / kChunkLength][index % kChunkLength];
    }
    Value& Back() { return chunks_.back()[(size_ - 1) % kChunkLength]; }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    void Clear() {
        chunks_.clear();
        chunks_.shrink_to_fit();
        size_ = 0;
    }

  private:
    std::vector<std::unique_ptr<Value[]>> chunks_;
    std::size_t size_ = 0;
};

}  // namespace tarnwick::runtime

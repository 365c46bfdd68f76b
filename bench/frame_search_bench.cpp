// Throughput of the frame search alone, on frames of several sizes held in memory: the word
// finders by themselves, and the whole search finding frame after frame as the reader does.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "bitstream/frame_search.h"

namespace {

constexpr std::size_t kBufferBytes = 32 << 20;

void PutWord(std::vector<unsigned char>& bytes, std::size_t at, RawWord word) {
    std::memcpy(bytes.data() + at, &word, sizeof word);
}

// kBufferBytes of frames of frameBytes each (start word, random content, end signature).
std::vector<unsigned char> Frames(std::size_t frameBytes) {
    std::vector<unsigned char> bytes(kBufferBytes);
    std::mt19937 random(7);
    for (std::size_t at = 0; at < bytes.size(); at += 4) {
        PutWord(bytes, at, static_cast<RawWord>(random()) | 0x80);  // never a signature
    }
    for (std::size_t at = 0; at + frameBytes <= bytes.size(); at += frameBytes) {
        PutWord(bytes, at, kStartWord);
        PutWord(bytes, at + frameBytes - 8, kFirstEndWord);
        PutWord(bytes, at + frameBytes - 4, kSecondEndWord);
    }
    return bytes;
}

// Finds every frame in the buffer, each search starting where the last frame ended.
void FindAllFrames(benchmark::State& state, WordFinder find) {
    const std::vector<unsigned char> bytes = Frames(static_cast<std::size_t>(state.range(0)));
    const std::size_t words = bytes.size() / 4;
    std::size_t frames = 0;
    for (auto _ : state) {
        std::size_t next = 0;
        while (next < words) {
            FrameSearch search(find);
            next += search.Feed(bytes.data() + next * 4, words - next);
            frames += search.IsComplete() ? 1 : 0;
        }
        benchmark::DoNotOptimize(next);
    }
    benchmark::DoNotOptimize(frames);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// One word finder over a buffer that holds no match.
void FindNoWord(benchmark::State& state, WordFinder find) {
    const std::vector<unsigned char> bytes = Frames(kBufferBytes);
    const std::size_t words = static_cast<std::size_t>(state.range(0)) / 4;
    for (auto _ : state) {
        benchmark::DoNotOptimize(find(bytes.data() + 4, words, kStartWord));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * words * 4));
}

void FrameSizes(benchmark::internal::Benchmark* bench) {
    bench->Arg(1 << 10)->Arg(64 << 10)->Arg(400 << 10);
}

// The read block, and a buffer far larger than the caches.
void SearchLengths(benchmark::internal::Benchmark* bench) {
    bench->Arg(256 << 10)->Arg(30 << 20);
}

}  // namespace

BENCHMARK_CAPTURE(FindAllFrames, Portable, FindWordPortable)->Apply(FrameSizes);
BENCHMARK_CAPTURE(FindNoWord, Portable, FindWordPortable)->Apply(SearchLengths);
#if defined(__SSE2__)
BENCHMARK_CAPTURE(FindAllFrames, Sse2, FindWordSse2)->Apply(FrameSizes);
BENCHMARK_CAPTURE(FindNoWord, Sse2, FindWordSse2)->Apply(SearchLengths);
#endif

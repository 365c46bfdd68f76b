// The ffprobe oracle: what ffmpeg reads from a stored movie, following its data reference.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick::test {

struct ProbedStream {
    std::string codecType;       // "video"
    std::string codecTagString;  // "VXHD"
    int width = 0;
    int height = 0;
    std::string timeBase;  // "1/25"
};

struct ProbedPacket {
    std::int64_t pos = -1;  // offset in the file the packet was read from
    std::int64_t size = 0;
    std::int64_t duration = 0;  // in the stream's time base
    bool key = false;
    std::string dataHash;  // "MD5:<hex>" of the bytes ffmpeg read
};

struct ProbeReport {
    bool ok = false;     // ffprobe ran, exited with 0 and printed JSON
    std::string output;  // ffprobe's JSON as printed, for failure messages
    std::vector<ProbedStream> streams;
    std::vector<ProbedPacket> packets;
};

// Runs "ffprobe -v error -enable_drefs 1 -show_streams -show_packets -show_data_hash MD5
// -of json <movie>" and parses what it prints.
ProbeReport ProbeMovie(const std::filesystem::path& movie);

// The number of packets ffmpeg reads from the movie's first stream through its data reference,
// for movies too large to list packet by packet; -1 when ffprobe fails.
std::int64_t CountPackets(const std::filesystem::path& movie);

}  // namespace tarnwick::test

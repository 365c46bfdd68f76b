// What a repair run must show: its console lines, and the movie as ffprobe reads it through the
// data reference.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/tool_runs.h"

namespace tarnwick::test {

// One printf-formatted line.
template <typename... Values>
std::string Line(const char* format, Values... values) {
    char text[1024];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// The input, destination and information lines.
std::string Opening(const std::string& source, const std::string& output, int width, int height,
                    double fps);

// The progress lines for the frames after the first, and the report line.
std::string Progress(const std::vector<Frame>& frames, std::uint64_t sourceSize);

// The movie holds every frame after the first, each read through the reference in full.
void ExpectMovieOfFrames(const std::filesystem::path& movie, const std::filesystem::path& source,
                         const std::vector<Frame>& frames, int width, int height,
                         const std::string& timeBase, std::int64_t duration);

}  // namespace tarnwick::test

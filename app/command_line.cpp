#include "app/command_line.h"

#include <cctype>
#include <cstdint>
#include <limits>

std::int32_t ParseLenientNumber(const char* text) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    while (std::isspace(static_cast<unsigned char>(*text))) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    std::int64_t magnitude = 0;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > kMax + 1) {
            magnitude = kMax + 1;  // already beyond either limit; keep it from growing
        }
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    if (value > kMax) {
        return static_cast<std::int32_t>(kMax);
    }
    if (value < kMin) {
        return static_cast<std::int32_t>(kMin);
    }
    return static_cast<std::int32_t>(value);
}

std::string MakeOutputPath(const std::string& sourcePath) {
    return sourcePath.substr(0, sourcePath.rfind('.')) + "-new.mov";
}

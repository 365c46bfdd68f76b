// Fixed-point and Pascal-string utilities.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "movie/movie_services.h"

extern "C" Fixed FixRatio(std::int16_t numer, std::int16_t denom) {
    if (denom == 0) {
        return numer < 0 ? std::numeric_limits<Fixed>::min() : std::numeric_limits<Fixed>::max();
    }
    const std::int64_t scaled = static_cast<std::int64_t>(numer) * 65536;
    const std::int64_t halfDenominator = denom / 2;
    // Round to the nearest value, halves away from zero.
    const std::int64_t quotient = (scaled < 0) == (denom < 0) ? (scaled + halfDenominator) / denom
                                                              : (scaled - halfDenominator) / denom;
    if (quotient > std::numeric_limits<Fixed>::max()) {
        return std::numeric_limits<Fixed>::max();
    }
    return static_cast<Fixed>(quotient);
}

// The destination may be the source itself.
extern "C" void c2pstrcpy(unsigned char* dst, const char* src) {
    if (dst == nullptr || src == nullptr) {
        return;
    }
    const std::size_t length = std::min<std::size_t>(std::strlen(src), 255);
    std::memmove(dst + 1, src, length);
    dst[0] = static_cast<unsigned char>(length);
}

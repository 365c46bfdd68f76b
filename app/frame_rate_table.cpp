#include <cstdint>

#include "app/movie_repair.h"

namespace {

struct FrameRateRow {
    std::int32_t frameRate;  // fps x 1000
    std::uint16_t timeScale;
    std::int32_t sampleDuration;
};

// 23980 is taken as 23.976 fps too: no row gives 23.98 exactly.
constexpr FrameRateRow kFrameRates[] = {
    {23976, 24000, 1001}, {23980, 24000, 1001}, {24000, 24, 1}, {25000, 25, 1},
    {29970, 30000, 1001}, {30000, 30, 1},       {48000, 48, 1}, {50000, 50, 1},
    {59940, 60000, 1001}, {60000, 60, 1},
};

}  // namespace

bool CMovieRepair::SetFrameRate(std::int32_t frameRate) {
    for (const FrameRateRow& row : kFrameRates) {
        if (row.frameRate == frameRate) {
            timeScale_ = row.timeScale;
            sampleDuration_ = row.sampleDuration;
            return true;
        }
    }
    return false;
}

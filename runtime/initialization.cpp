// Start-up of the runtime. Nothing needs preparing: every routine works from the first call on,
// and the state kept here only answers the QTML query.
#include "movie/movie_services.h"

namespace {
bool qtmlInitialized = false;
}

extern "C" OSErr EnterMovies(void) {
    return noErr;
}

extern "C" OSErr InitializeQTML(std::int32_t) {
    qtmlInitialized = true;
    return noErr;
}

extern "C" std::uint8_t QTMLIsInitialized(void) {
    return qtmlInitialized ? 1 : 0;
}

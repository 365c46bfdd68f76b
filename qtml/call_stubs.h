// The call stubs (call_stubs.S): one per movie service, each bearing the routine's QuickTime
// name and declared with the movie services. Declared here are the two entries through which
// the loader reaches the runtime's own QTML routines.
#pragma once

#include <cstdint>

#include "movie/movie_services.h"

extern "C" {

// The runtime's own InitializeQTML (the public one is the loader's).
OSErr RuntimeInitializeQTML(std::int32_t flags);

// The QTML query: its low 8 bits are non-zero when the runtime is already initialised.
std::uint8_t RuntimeQTMLIsInitialized();

}  // extern "C"

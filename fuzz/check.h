// A failed check in a fuzz target: abort, so that libFuzzer saves the input that shows it.
#pragma once

#include <cstdlib>

namespace tarnwick::fuzz {

inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace tarnwick::fuzz

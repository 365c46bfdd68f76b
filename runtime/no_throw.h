// Keeps exceptions (an allocation that fails) from leaving a movie service routine: callers are
// C code that only understands result values.
#pragma once

#include <new>

namespace tarnwick::runtime {

// Runs body and returns its result, or onFailure when it throws.
template <typename Result, typename Body>
Result NoThrow(Result onFailure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return onFailure;
    }
}

// For routines without a result.
template <typename Body>
void NoThrowVoid(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace tarnwick::runtime

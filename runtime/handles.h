// Memory Manager handles: a handle points at a master pointer, which points at the block.
#pragma once

#include <cstddef>
#include <string_view>

#include "movie/movie_services.h"

namespace tarnwick::runtime {

// A new handle whose block holds a copy of the bytes; null when memory runs out.
Handle NewHandleHolding(std::string_view bytes);

// The block of a live handle, or an empty view with a null data pointer for an unknown one.
struct HandleBlock {
    char* data = nullptr;
    std::size_t size = 0;
};
HandleBlock FindHandleBlock(Handle handle);

}  // namespace tarnwick::runtime

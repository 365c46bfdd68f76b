// Text objects (CFString) as the runtime keeps them: UTF-8 text.
#pragma once

#include <string>

#include "movie/movie_services.h"

namespace tarnwick::runtime {

// The UTF-8 text of a live text object, or null for an unknown reference.
const std::string* FindTextObject(CFStringRef text);

}  // namespace tarnwick::runtime

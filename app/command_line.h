// What the entry point makes of its arguments.
#pragma once

#include <cstdint>
#include <string>

// Reads a decimal integer leniently: leading white space, an optional sign, then digits up to the
// first other character. No digits gives 0; a value beyond 32 bits gives the nearest limit.
std::int32_t ParseLenientNumber(const char* text);

// The path of the new movie: the source path cut before its last "." (folder names included),
// followed by "-new.mov".
std::string MakeOutputPath(const std::string& sourcePath);

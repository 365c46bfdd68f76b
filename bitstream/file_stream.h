// The few standard-stream operations that differ between Linux and Windows: 64-bit seek and
// tell, and telling a file that can be scanned from a folder or a pipe.
#pragma once

#include <cstdint>
#include <cstdio>

// Positions stream at offset bytes from origin (SEEK_SET, SEEK_CUR or SEEK_END).
// Returns 0 on success, nonzero on failure.
int SeekStream(std::FILE* stream, std::int64_t offset, int origin);

// The stream's position, or -1 when it cannot be told.
std::int64_t TellStream(std::FILE* stream);

// True when the open stream is a regular file (or, on Linux, a block device such as a whole
// memory card), which can be sized, positioned and read from front to back.
bool IsScannableFile(std::FILE* stream);

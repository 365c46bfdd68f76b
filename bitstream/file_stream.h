// The few standard-stream operations that differ between Linux and Windows: 64-bit seek and
// tell, and opening only a file that can be scanned, never a folder, a pipe or a device.
#pragma once

#include <cstdint>
#include <cstdio>

// Positions stream at offset bytes from origin (SEEK_SET, SEEK_CUR or SEEK_END).
// Returns 0 on success, nonzero on failure.
int SeekStream(std::FILE* stream, std::int64_t offset, int origin);

// The stream's position, or -1 when it cannot be told.
std::int64_t TellStream(std::FILE* stream);

// Opens path for binary reading when it names a file that can be scanned: a regular file (or, on
// Linux, a block device such as a whole memory card), which can be sized, positioned and read from
// front to back. Anything else is refused, null, without waiting: opening a named pipe would
// otherwise block until some other program opened it for writing.
std::FILE* OpenScannableFile(const char* path);

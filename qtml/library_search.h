// Finding and loading the QuickTime runtime library, and reading a file's version numbers.
//
// The library is looked for in the folder of a copy the process has already loaded, in the
// folders QuickTime's installation records in the registry, and in the system folder and its
// subfolder "QuickTime". Nothing is kept between calls: every call searches again.
#pragma once

#include <windows.h>

#include <cstddef>

// The registry key, under HKEY_LOCAL_MACHINE, where QuickTime records its folders.
inline constexpr char kQuickTimeRegistryKey[] = "Software\\Apple Computer, Inc.\\QuickTime";

// Sets each given output to the file's fixed file version (most and least significant halves),
// or to 0 when the file has no version information.
void GetFileVersionNumbers(const char* path, DWORD* versionMS, DWORD* versionLS);

// Loads the library named fileName from the QuickTime folder, then from the extension folder.
// Empty when neither holds a library that loads.
HMODULE LoadQuickTimeLibrary(const char* fileName);

// Fills buffer (size bytes) with the QuickTime folder, ending in a separator. False, with an
// empty buffer, when no folder was found.
bool GetQuickTimeFolder(char* buffer, std::size_t size);

// Fills buffer (size bytes) with the QuickTime extension folder; the result is its length, 0
// when none was found.
std::size_t GetQuickTimeExtensionFolder(char* buffer, std::size_t size);

// Reads the string value valueName of key under HKEY_LOCAL_MACHINE into buffer (size bytes),
// with a backslash appended when it ends in no separator. A value that cannot be read, or that
// would not fit with its separator and terminator, leaves the buffer empty.
void ReadQuickTimeRegistryString(const char* key, const char* valueName, char* buffer,
                                 std::size_t size);

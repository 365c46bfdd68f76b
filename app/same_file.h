#pragma once

// True when both UTF-8 paths name one existing file, through a link or not.
bool NamesSameFile(const char* pathA, const char* pathB);

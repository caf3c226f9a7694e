#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace kv {

// Content and settings files name paths with backslashes ("File\Data\LIST_BukiData.dat"),
// relative to the game folder, which is the working directory. This is the one place
// where they become host paths.
std::string hostPath(std::string_view contentPath);

// fopen of a content path.
std::FILE* openContentFile(std::string_view contentPath, const char* mode);

bool contentFileExists(std::string_view contentPath);

// Reads a whole file; false when it cannot be opened or read.
bool readWholeFile(std::string_view contentPath, std::string& out);

// Writes a whole file or nothing: data goes to a temporary file beside the target, is
// flushed to disk, then renamed over it. False (and the old file untouched) on failure.
bool writeFileAtomic(std::string_view contentPath, std::string_view data);

} // namespace kv

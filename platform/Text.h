#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

// The system stores, writes and sends CP932 (Shift-JIS) bytes. UTF-8 appears only where
// text meets SDL, FreeType or ImGui. Characters that do not convert become '?'.
std::string cp932ToUtf8(std::string_view cp932);
std::string utf8ToCp932(std::string_view utf8);

// Shorthand for the system's fixed texts, written in UTF-8 in the source.
inline std::string sjis(std::string_view utf8) {
    return utf8ToCp932(utf8);
}

// True when byte b starts a double-byte CP932 character.
constexpr bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Byte length of the longest prefix of s that fits in maxBytes without splitting a
// double-byte character.
size_t cp932FitLength(std::string_view s, size_t maxBytes);

// s cut to at most maxBytes without splitting a double-byte character.
std::string cp932Truncate(std::string_view s, size_t maxBytes);

// Length in bytes of the last character of s (1 or 2); 0 for an empty string.
size_t cp932LastCharLength(std::string_view s);

// Copies s into a fixed NUL-terminated field of size n (at most n-1 bytes, whole characters).
void copyToField(char* field, size_t n, std::string_view s);

// Reads a NUL-terminated fixed field of size n.
std::string fromField(const char* field, size_t n);

} // namespace kv

#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Every data and settings file is a LineFile: one value per line, meaning given by position,
// CP932 text, CR LF line ends (a bare LF is accepted).

// How much of a file a reader takes. A line longer than maxChars (its line end counting as one
// character) is split, the rest becoming the next line.
struct LineLimits {
    int maxLines;
    int maxChars;
};
constexpr LineLimits kGameLines{256, 255};
constexpr LineLimits kEditorLines{128, 127};

// Longest line that both readers take whole: what content files must keep to.
constexpr size_t kContentLineMax = 126;
// Text fields hold this many bytes (plus the terminating zero of the original records).
constexpr size_t kTextMax = 127;

// The lines of a file, without their line ends. A line the file does not have reads as an
// empty line: integer 0, real 0, empty text.
struct LineFile {
    std::vector<std::string> lines;

    std::string_view text(size_t i) const;
    int32_t integer(size_t i) const;
    uint8_t u8(size_t i) const { return static_cast<uint8_t>(integer(i)); }
    int16_t i16(size_t i) const { return static_cast<int16_t>(integer(i)); }
    bool flag(size_t i) const { return integer(i) != 0; }
    float real(size_t i) const;
    std::array<int32_t, 3> intTriple(size_t i) const;
    std::array<float, 3> realTriple(size_t i) const;
};

// Splits file contents into lines as a reader with these limits does.
std::vector<std::string> splitLines(std::string_view data, LineLimits limits);

// False (and `file` untouched) when the file cannot be opened. An empty file is a success with
// no lines.
bool readLineFile(std::string_view path, LineFile& file, LineLimits limits = kGameLines);

// Value parsing as every reader does it; the caller keeps the low 8 or 16 bits it needs.
// Integer: blanks, a sign, digits up to the first non-digit; no digits give 0.
int32_t parseInteger(std::string_view s);
// Real: blanks, a sign, digits, fraction and exponent; no number gives 0.
float parseReal(std::string_view s);
// Three comma-separated values (each at most 31 characters); a missing one is empty.
std::array<std::string_view, 3> splitTriple(std::string_view line);

// How a writer treats its values.
struct WriteRules {
    int maxValues;
    // Settings writers stop before the first empty value or after maxValues values. The content
    // writer keeps empty values and refuses a file the readers would not take whole.
    bool contentFile;
};
constexpr WriteRules kGameWriter{128, false};    // the game and Tessaro
constexpr WriteRules kOptionsWriter{256, false}; // オプション
constexpr WriteRules kContentWriter{256, true};  // the content generator

// Writes each value and CR LF, whole or not at all. False, writing nothing, when a value holds a
// line end (it would shift every later line) or the file cannot be written. The content writer
// also refuses more than maxValues values and lines longer than kContentLineMax.
bool writeLineFile(std::string_view path, const std::vector<std::string>& values,
                   WriteRules rules = kGameWriter);

} // namespace kv

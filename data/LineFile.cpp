#include "data/LineFile.h"

#include "platform/Paths.h"

#include <cfloat>
#include <charconv>

namespace kv {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where a number's digits start after leading blanks and one optional sign.
size_t skipBlanksAndSign(std::string_view s, bool& negative) {
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    return i;
}

} // namespace

std::vector<std::string> splitLines(std::string_view data, LineLimits limits) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < data.size() && static_cast<int>(lines.size()) < limits.maxLines) {
        // Read up to maxChars characters, the line end (LF or CR LF) counting as one, like a
        // text-mode fgets into a buffer of maxChars + 1.
        std::string line;
        int taken = 0;
        while (pos < data.size() && taken < limits.maxChars) {
            char c = data[pos];
            if (c == '\n') {
                ++pos;
                ++taken;
                break;
            }
            if (c == '\r' && pos + 1 < data.size() && data[pos + 1] == '\n') {
                pos += 2;
                ++taken;
                break;
            }
            line.push_back(c);
            ++pos;
            ++taken;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

bool readLineFile(std::string_view path, LineFile& file, LineLimits limits) {
    std::string data;
    if (!readWholeFile(path, data))
        return false;
    file.lines = splitLines(data, limits);
    return true;
}

std::string_view LineFile::text(size_t i) const {
    return i < lines.size() ? std::string_view(lines[i]) : std::string_view();
}

int32_t LineFile::integer(size_t i) const {
    return parseInteger(text(i));
}
float LineFile::real(size_t i) const {
    return parseReal(text(i));
}

std::array<int32_t, 3> LineFile::intTriple(size_t i) const {
    auto v = splitTriple(text(i));
    return {parseInteger(v[0]), parseInteger(v[1]), parseInteger(v[2])};
}

std::array<float, 3> LineFile::realTriple(size_t i) const {
    auto v = splitTriple(text(i));
    return {parseReal(v[0]), parseReal(v[1]), parseReal(v[2])};
}

int32_t parseInteger(std::string_view s) {
    bool negative = false;
    size_t i = skipBlanksAndSign(s, negative);
    // Wrapping arithmetic keeps the low bits of any digit string exact.
    uint32_t v = 0;
    while (i < s.size() && isDigit(s[i]))
        v = v * 10u + static_cast<uint32_t>(s[i++] - '0');
    if (negative)
        v = 0u - v;
    return static_cast<int32_t>(v);
}

float parseReal(std::string_view s) {
    bool negative = false;
    size_t i = skipBlanksAndSign(s, negative);
    // Only decimal numbers: no "inf", "nan" or hexadecimal forms.
    if (i >= s.size() || !(isDigit(s[i]) || s[i] == '.'))
        return 0.0f;
    double v = 0.0;
    auto r = std::from_chars(s.data() + i, s.data() + s.size(), v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Beyond what a double holds: the nearest value a float holds.
        std::string_view num(s.data() + i, static_cast<size_t>(r.ptr - (s.data() + i)));
        size_t e = num.find_first_of("eE");
        v = e != std::string_view::npos && e + 1 < num.size() && num[e + 1] == '-' ? 0.0 : DBL_MAX;
    } else if (r.ec != std::errc()) {
        return 0.0f;
    }
    if (v > FLT_MAX)
        v = FLT_MAX;
    float f = static_cast<float>(v);
    return negative ? -f : f;
}

std::array<std::string_view, 3> splitTriple(std::string_view line) {
    std::array<std::string_view, 3> out{};
    size_t start = 0;
    for (int k = 0; k < 3 && start <= line.size(); ++k) {
        size_t comma = line.find(',', start);
        size_t end = comma == std::string_view::npos ? line.size() : comma;
        out[k] = line.substr(start, std::min<size_t>(end - start, 31));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return out;
}

bool writeLineFile(std::string_view path, const std::vector<std::string>& values,
                   WriteRules rules) {
    std::string out;
    int written = 0;
    for (const std::string& v : values) {
        if (!rules.contentFile && (v.empty() || written == rules.maxValues))
            break;
        if (rules.contentFile && (written == rules.maxValues || v.size() > kContentLineMax))
            return false;
        if (v.find_first_of("\r\n") != std::string::npos)
            return false;
        out += v;
        out += "\r\n";
        ++written;
    }
    return writeFileAtomic(path, out);
}

} // namespace kv

#include "platform/Text.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace kv {
namespace {

std::string convert(std::string_view in, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(in);
    std::string out;
    out.resize(in.size() * 4 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            size_t used = static_cast<size_t>(dst - out.data());
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = out.size() - used;
            continue;
        }
        // Invalid or incomplete sequence: replace one byte and go on.
        if (dstLeft == 0) {
            size_t used = static_cast<size_t>(dst - out.data());
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = out.size() - used;
        }
        *dst++ = '?';
        --dstLeft;
        ++src;
        --srcLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(static_cast<size_t>(dst - out.data()));
    iconv_close(cd);
    return out;
}

} // namespace

std::string cp932ToUtf8(std::string_view cp932) {
    return convert(cp932, "UTF-8", "CP932");
}

std::string utf8ToCp932(std::string_view utf8) {
    return convert(utf8, "CP932", "UTF-8");
}

size_t cp932FitLength(std::string_view s, size_t maxBytes) {
    size_t i = 0;
    while (i < s.size()) {
        size_t len = isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
        if (i + len > maxBytes)
            break;
        i += len;
    }
    return i;
}

std::string cp932Truncate(std::string_view s, size_t maxBytes) {
    return std::string(s.substr(0, cp932FitLength(s, maxBytes)));
}

size_t cp932LastCharLength(std::string_view s) {
    size_t i = 0, last = 0;
    while (i < s.size()) {
        last = isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
        i += last;
    }
    return last;
}

void copyToField(char* field, size_t n, std::string_view s) {
    if (n == 0)
        return;
    std::memset(field, 0, n);
    size_t len = cp932FitLength(s, n - 1);
    std::memcpy(field, s.data(), len);
}

std::string fromField(const char* field, size_t n) {
    size_t len = strnlen(field, n);
    return std::string(field, len);
}

} // namespace kv

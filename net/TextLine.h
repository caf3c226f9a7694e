#pragma once
#include "platform/Text.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace kv {

// One of the system's fixed lines (UTF-8 in the source) in CP932, each %s and %d replaced by
// the next argument in order. The markers are looked for after the conversion: a CP932 trail
// byte is never '%'.
inline std::string textLine(std::string_view utf8, std::initializer_list<std::string_view> args) {
    std::string format = sjis(utf8), out;
    auto arg = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() &&
            (format[i + 1] == 's' || format[i + 1] == 'd') && arg != args.end()) {
            out += *arg++;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

} // namespace kv

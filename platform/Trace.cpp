#include "platform/Trace.h"

#include "platform/MessageBox.h"
#include "platform/Text.h"

#include <cstdio>
#include <string>

namespace kv {

void trace(std::string_view source, int line, std::string_view text,
           std::string_view platformError) {
    std::string utf8 = cp932ToUtf8(text);
    std::fprintf(stderr, "%.*s(%d): %s", static_cast<int>(source.size()), source.data(), line,
                 utf8.c_str());
    if (!platformError.empty())
        std::fprintf(stderr, " [%.*s]", static_cast<int>(platformError.size()),
                     platformError.data());
    std::fputc('\n', stderr);
}

void traceAndShow(MessageBoxes& boxes, std::string_view source, int line, std::string_view text,
                  std::string_view platformError) {
    trace(source, line, text, platformError);
    boxes.show(sjis("エラー"), text);
}

} // namespace kv

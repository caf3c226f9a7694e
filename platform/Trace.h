#pragma once
#include <string_view>

namespace kv {

class MessageBoxes;

// A failure of a platform call: "source(line): text [platform error]" on stderr. The text is
// CP932 like every message of the system.
void trace(std::string_view source, int line, std::string_view text,
           std::string_view platformError = {});

// The same, and the text shown to the user in a box captioned "エラー".
void traceAndShow(MessageBoxes& boxes, std::string_view source, int line, std::string_view text,
                  std::string_view platformError = {});

} // namespace kv

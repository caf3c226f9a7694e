#pragma once
#include <string>

namespace kv {

// The name of a virtual-key code as the key page shows it (CP932); "??" when it has none.
std::string keyName(int code);

// The labels of the twelve key bindings (CP932).
std::string keyActionLabel(int binding);

} // namespace kv

#pragma once
#include <string>

namespace kv {

// Writes a small picture for every file of the texture table under root (a throw-away
// game folder), so drawing tests do not depend on the generated content.
void writeTestPictures(const std::string& root);

} // namespace kv

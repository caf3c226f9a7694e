#pragma once
#include "models/XFileData.h"

#include <string_view>

namespace kv {

// Reads every mesh of an .x file into one, each moved by its frames' matrices. False when the
// file cannot be read; a file without faces (the placeholder) gives an empty mesh. No device:
// a host without a window reads its maps' collision with it.
bool readStaticMesh(std::string_view bytes, RigidMesh& out);

} // namespace kv

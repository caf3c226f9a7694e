#pragma once
#include <string>

namespace kv::gen {

// Writes every character and equipment model, the maps with their sky and trees, their
// pictures, LIST_MapData, LIST_AnimeData and LIST_UseFrameData with their entries into the
// game folder at root. Weapon, shield and item objects are written under the names the
// weapon, shield and item lists in root give (when those lists exist) and under their default
// names. Throws when a file cannot be written.
void writeModelContent(const std::string& root);

} // namespace kv::gen

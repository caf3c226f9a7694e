#include "data/EquipmentFile.h"

#include <string>
#include <vector>

namespace kv {

const char* const kEquipmentPath = "File\\Data\\EQI_Equipped.dat";

bool readEquipmentFile(EquipmentChoice& out, LineLimits limits) {
    LineFile f;
    if (!readLineFile(kEquipmentPath, f, limits))
        return false;
    out.weapon = f.u8(0);
    out.shield = f.u8(1);
    out.armour = f.u8(2);
    for (size_t k = 0; k < out.pockets.size(); ++k)
        out.pockets[k] = f.u8(3 + k);
    return true;
}

bool writeEquipmentFile(const EquipmentChoice& in) {
    std::vector<std::string> lines{std::to_string(in.weapon), std::to_string(in.shield),
                                   std::to_string(in.armour)};
    for (uint8_t p : in.pockets)
        lines.push_back(std::to_string(p));
    return writeLineFile(kEquipmentPath, lines, kGameWriter);
}

} // namespace kv

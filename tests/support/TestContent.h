#pragma once
#include "data/DataLoader.h"
#include "data/EntryFiles.h"
#include "data/LineFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace kv::test {

// Loads weapon, map and shield lists made of the given records through the real loaders, written
// into a scratch folder that is gone again afterwards.
inline void loadContent(DataLoader& data, const std::vector<WeaponSpec>& weapons,
                        const std::vector<MapSpec>& maps = {}, int shields = 0) {
    auto old = std::filesystem::current_path();
    std::string dir = (std::filesystem::temp_directory_path() / "kv_content_XXXXXX").string();
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    std::filesystem::current_path(dir);
    std::filesystem::create_directories("File/Data");
    auto write = [](const char* list, const auto& records, const char* stem) {
        std::vector<std::string> paths;
        for (size_t i = 0; i < records.size(); ++i) {
            paths.push_back(stem + std::to_string(i) + ".dat");
            writeLineFile(paths.back(), entryLines(records[i]), kContentWriter);
        }
        writeLineFile(list, listLines(paths), kContentWriter);
    };
    write("File\\Data\\LIST_BukiData.dat", weapons, "w");
    write("File\\Data\\LIST_MapData.dat", maps, "m");
    std::vector<ShieldSpec> shieldList(static_cast<size_t>(shields));
    for (ShieldSpec& sh : shieldList)
        sh.name = "S";
    write("File\\Data\\LIST_TateData.dat", shieldList, "s");
    bool ok = data.loadWeapons() && (maps.empty() || data.loadMaps()) &&
              (shields == 0 || data.loadShields());
    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
    ASSERT_TRUE(ok) << data.message();
}

inline WeaponSpec weaponOfPower(int16_t power) {
    WeaponSpec w;
    w.name = "W" + std::to_string(power);
    w.attackPower = power;
    w.weight = 200; // walking speed 3.5 without a shield record
    return w;
}

} // namespace kv::test

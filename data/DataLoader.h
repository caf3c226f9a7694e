#pragma once
#include "data/AnimTables.h"
#include "data/LineFile.h"
#include "data/Options.h"
#include "data/Records.h"
#include "shell/GameState.h"

#include <string>
#include <vector>

namespace kv {

class Random;

constexpr int kMaxWeapons = 15, kMaxShields = 10, kMaxArmours = 10, kMaxItems = 20, kMaxMaps = 20;
constexpr int kMaxAnimSets = 15, kMaxActionMaps = 15;

// The text of the load failure message for a file (CP932): the loading sequence shows it in a
// box captioned kLoadErrorCaption and gives up.
std::string missingFileMessage(std::string_view what);
std::string loadErrorCaption();

// Reads the content lists, the option files and the equipment file. The game builds one with
// kGameLines, Tessaro with kEditorLines. Every load returns false on the first file that is
// missing or malformed and leaves the reason in message(); entries read before it stay.
class DataLoader {
public:
    explicit DataLoader(LineLimits limits = kGameLines) : limits_(limits) {}

    bool loadMaps();
    bool loadWeapons();
    bool loadShields();
    bool loadArmours();
    bool loadItems();
    // Set s of the tables comes from entry s; the tables are cleared first.
    bool loadAnimSets(AnimTables& tables);
    bool loadActionMaps(AnimTables& tables);

    // kind 0 items, 1 weapons, 2 shields, 3 armour: count - 1; kind 4: the map count; else 0.
    int lastListIndex(int kind) const;

    int weaponCount() const { return static_cast<int>(weapons_.size()); }
    int shieldCount() const { return static_cast<int>(shields_.size()); }
    int armourCount() const { return static_cast<int>(armours_.size()); }
    int itemCount() const { return static_cast<int>(items_.size()); }
    int mapCount() const { return mapCount_; }
    const WeaponSpec& weapon(int i) const { return weapons_.at(static_cast<size_t>(i)); }
    const ShieldSpec& shield(int i) const { return shields_.at(static_cast<size_t>(i)); }
    const ArmourSpec& armour(int i) const { return armours_.at(static_cast<size_t>(i)); }
    const ItemSpec& item(int i) const { return items_.at(static_cast<size_t>(i)); }
    const MapSpec& map(int i) const { return maps_.at(static_cast<size_t>(i)); }
    // The map table has kMaxMaps records whatever the list holds; the rotation mark is the one
    // field that changes after loading.
    void setMapSelected(int i, uint8_t k) { maps_.at(static_cast<size_t>(i)).selected = k; }
    // Items of pocket size at most 1 and at most 2 (the list is ordered by size).
    int itemsUpToSize1() const { return itemsUpTo1_; }
    int itemsUpToSize2() const { return itemsUpTo2_; }

    // The last failure, CP932, empty when none.
    const std::string& message() const { return message_; }

    // Option files (defaults when missing; nothing reported).
    Options& options() { return options_; }
    const Options& options() const { return options_; }
    bool loadProfileFlags(); // lines 5 to 7 of the profile; all 1 when missing
    bool loadGraphics(DisplayMode desktop);
    bool loadSoundOptions();
    bool loadKeys();
    bool loadGameOptions(Random& random); // draws the title-back picture when asked for
    // Lines 1 to 4 of the profile into `look`; false (look untouched) when missing.
    bool loadProfile(PlayerLook& look) const;
    static void defaultProfile(PlayerLook& look);

    // All 9 bytes zeroed, then the file's numbers; numbers beyond a loaded list become 0.
    // False, leaving zeros, when the file cannot be opened.
    bool loadEquipment(PlayerEquip& equip) const;

private:
    template <class R> bool loadList(const char* listPath, int capacity, std::vector<R>& out);
    bool readList(const char* listPath, int capacity, std::vector<std::string>& paths);
    bool fail(std::string_view path, int line, const std::string& reason);

    LineLimits limits_;
    std::vector<WeaponSpec> weapons_;
    std::vector<ShieldSpec> shields_;
    std::vector<ArmourSpec> armours_;
    std::vector<ItemSpec> items_;
    std::array<MapSpec, kMaxMaps> maps_{};
    int mapCount_ = 0;
    int itemsUpTo1_ = 0, itemsUpTo2_ = 0;
    std::string message_;
    Options options_;
};

} // namespace kv

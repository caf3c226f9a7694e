#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "shell/GameState.h"
#include "shell/LoadingSteps.h"

namespace kv {

// Model groups of the game-start stage, in loading order.
enum class ModelGroup {
    BodyMotion,
    HeadMotion,
    WeaponMotion,
    ShieldMotion,
    WeaponObject,
    BrokenWeaponObject,
    ItemObject,
    ShieldObject,
    BrokenShieldObject,
    Hair,
};

// Sizes of the content lists that the game-start stage's progress total counts.
struct ContentSizes {
    int weaponLast = 0, itemLast = 0, shieldLast = 0;
    int faces = 0, wears = 0;
};

// The subsystems' parts of the loading steps, plugged in by the shell as each subsystem
// exists. An unset work call succeeds at once; an unset file list is empty.
struct LoadHooks {
    // Program start.
    std::function<bool()> createDevice;
    std::function<bool()> readLists;     // face, wear, map, weapon, item, shield and armour lists
    std::function<bool()> readEquipment; // false: the equipment file cannot be read
    // Texture groups 0..9 of the texture table, each file with its loader.
    std::function<std::vector<LoadFile>(int group)> textures;
    std::function<bool()> setDefaultStates;
    std::function<bool()> setProjectionAndFonts;
    std::function<bool()> buildScreenQuads;
    std::function<bool()> createSpriteAndTextTargets;
    std::function<bool()> setupSceneLights;
    std::function<bool()> createSound;
    std::function<std::vector<LoadFile>()> effectSounds;
    std::function<std::vector<LoadFile>()> otherSounds;
    std::function<bool()> createMusic;
    std::function<std::vector<LoadFile>()> music;
    std::function<bool()> readAnimationTables;

    // Game start.
    std::function<std::vector<LoadFile>(ModelGroup)> models;
    std::function<bool()> loadHair; // the option that loads the hair models
    std::function<ContentSizes()> contentSizes;
    std::function<std::vector<LoadFile>()> voices; // every preset voice, in the cursor's order

    // Map.
    std::function<bool(const std::string& folder, const std::string& name)> loadStatic;
    std::function<std::string()> mapFile; // the model file of the map record of Game::mapIndex
    std::function<void()> clearFog;
    std::function<bool()> serverOnly;
};

// Texture groups in loading order, as the texture table numbers them.
constexpr int kTextureFaces = 8;
constexpr int kTextureWears = 9;

// The three loading stages: program start, game start, map. Texts are CP932.
std::array<LoadStage, 3> buildLoadStages(Game& game, LoadHooks hooks, MissingFileMessage& missing);

} // namespace kv

#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace kv {

enum class AppState : uint8_t { Playing = 0, Interlude = 1, Title = 2, Quit = 3 };

constexpr int kSlots = 32;
constexpr uint8_t kNoSlot = 0xFF;
constexpr int kNameBytes = 20;

#pragma pack(push, 1)

// Position, facing and bars of one slot. Travels as is in the state messages.
struct PlayerState {
    float x, y, z;
    float yaw;
    float pitch;
    float drift;
    int16_t hp;
    int16_t sp;
    int16_t ping;
    uint8_t alive;
    uint8_t inUse;
    uint32_t dpnid;
};

struct PlayerAction {
    uint8_t action;
    uint8_t actionSub;
    uint8_t actionAux;
    uint8_t walkMode;
};

struct PlayerEquip {
    uint8_t weapon;
    uint8_t weaponClass; // derived from weapon: keep it through setWeapon
    uint8_t shield;
    uint8_t armour;
    uint8_t items[5];
};

struct PlayerLook {
    char name[21];
    uint8_t hair;
    char faceFile[32];
    char wearFile[32];
};

// One item lying on the map. Travels as is in the item message.
struct MapItem {
    float x, y, z;
    float modelOffset[3];
    uint8_t spare[4];
    float fallSpeed;
    uint8_t falling;
    uint8_t active;
    uint8_t spare2[2];
};

#pragma pack(pop)

static_assert(sizeof(PlayerState) == 36);
static_assert(offsetof(PlayerState, hp) == 24);
static_assert(offsetof(PlayerState, alive) == 30);
static_assert(offsetof(PlayerState, dpnid) == 32);
static_assert(sizeof(PlayerAction) == 4);
static_assert(sizeof(PlayerEquip) == 9);
static_assert(offsetof(PlayerEquip, items) == 4);
static_assert(sizeof(PlayerLook) == 86);
static_assert(offsetof(PlayerLook, faceFile) == 22);
static_assert(offsetof(PlayerLook, wearFile) == 54);
static_assert(sizeof(MapItem) == 36);
static_assert(offsetof(MapItem, fallSpeed) == 28);
static_assert(offsetof(MapItem, falling) == 32 && offsetof(MapItem, active) == 33);

constexpr int kMapItems = 50;

// Weapon index to the animation class shared by weapons that move alike.
uint8_t weaponClass(uint8_t weapon);

inline void setWeapon(PlayerEquip& e, uint8_t weapon) {
    e.weapon = weapon;
    e.weaponClass = weaponClass(weapon);
}

// The local player's simulation state that lives beside the shared fields.
struct SimState {
    bool airborne = false;
    bool jumpAttack = false;
    bool stepping = false;
    bool tapArmedForward = false, tapArmedBack = false, tapArmedLeft = false, tapArmedRight = false;
    std::array<float, kSlots> fallSpeed{};
    std::array<int32_t, kSlots> lastFootAction{};
    int8_t stepTicks = 10;
    int32_t stunTicks = 0;
};

// The application object: shared state of the running game.
struct Game {
    AppState appState = AppState::Title;
    uint8_t localSlot = kNoSlot;
    std::array<float, kSlots> distanceToLocal{};
    std::array<float, kSlots> heightToLocal{};
    uint8_t mapIndex = 0;
    uint8_t practiceMode = 0;
    uint8_t windowActive = 0;
    uint8_t matchPhase = 0;
    uint8_t winnerSlot = kNoSlot;
    uint8_t loadStage = 0;
    std::array<uint8_t, 3> loadDone{};
    uint8_t inGame = 0;
    uint8_t joined = 0;
    uint8_t presetVoiceCount = 0;
    uint8_t presetEntry = 0;
    uint8_t presetDigits = 0;
    uint8_t presetCategory = 0, presetItem = 0, presetVariant = 0;
    int32_t cameraDistance = 150;
    uint8_t cameraMode = 0;
    std::array<float, 3> freeCameraPos{};
    int32_t fps = 0;
    std::array<int32_t, kSlots> pingShown{};
    int32_t animStep = 0;
    std::array<float, 3> cameraEye{};
    uint8_t drawLocalModel = 1;
    char loadText[128] = {};
    uint8_t syncDone = 0;
    uint32_t phaseStartTime = 0;
    uint8_t itemPoseActive = 0;
    uint8_t mapReady = 0;
    uint8_t selectedEquip = 0;
    SimState sim;

    // The per-slot player tables; they live as long as the program.
    std::array<PlayerState, kSlots> players{};
    std::array<PlayerState, kSlots> playersNet{};
    std::array<PlayerState, kSlots> playersSpawn{};
    std::array<std::array<char, kNameBytes + 1>, kSlots> playerNames{};
    std::array<PlayerAction, kSlots> actions{};
    std::array<PlayerEquip, kSlots> equips{};
    std::array<PlayerLook, kSlots> looks{};
    std::array<MapItem, kMapItems> mapItems{};

    // Values the renderer owns but others read.
    uint8_t viewSlot = 0;
    uint8_t interludePicture = 0;
};

// Back to the title: clears the round and camera state, leaves the player tables alone.
void resetGame(Game& g);

} // namespace kv

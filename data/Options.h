#pragma once
#include "data/LineFile.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// The five option files written by オプション and read by the game. Each struct holds one file,
// its members in line order, initialised to the defaults a missing file leaves.

struct ProfileOptions {                 // File\Data\OPT_PlayerData.dat
    std::string name = "NewFacePlayer"; // at most kProfileNameMax bytes
    uint8_t hair = 1;                   // 0: no hair model
    std::string faceFile = "DefaultFace.bmp";
    std::string wearFile = "DefaultWear.bmp";
    uint8_t loadHair = 1;
    uint8_t loadFace = 1;
    uint8_t loadWear = 1;
};
constexpr size_t kProfileNameMax = 24;
constexpr size_t kLookFileMax = 31;

struct GraphicsOptions {     // File\Data\OPT_GraphData.dat
    uint8_t resolution = 0;  // 0 desktop, 1 640x480 ... 6 1600x1200
    uint8_t colourDepth = 0; // 0 desktop, 1 16, 2 24, 3 32 bits
    uint8_t windowed = 1;
    uint8_t mipmap = 0;
    uint8_t mipmapLevel = 0;
    uint8_t effectCount = 5; // effects shown at once per character
};

struct SoundOptions { // File\Data\OPT_SoundData.dat
    uint8_t musicOn = 1;
    uint8_t musicVolume = 60;
    uint8_t soundOn = 1;
    uint8_t soundVolume = 80;
    uint8_t voiceOn = 1;
    uint8_t voiceVolume = 100;
};

constexpr int kKeyBindings = 12;
struct KeyOptions { // File\Data\OPT_KeyData.dat
    uint8_t invertMouseY = 0;
    uint8_t mouseSensitivity = 100; // 10 to 200, 100 normal
    // Virtual-key codes: forward, back, left, right, turn left, turn right, jump, attack,
    // defend, special attack, choose item, use item.
    std::array<uint8_t, kKeyBindings> keyBindings{87, 83, 65, 68, 81, 69, 32, 17, 16, 70, 67, 88};
};

struct GameOptions { // File\Data\OPT_GameData1.dat
    uint8_t hideChat = 0;
    uint8_t noNameCheck = 0;
    uint8_t titleBackLoading = 0;
    uint8_t hideFps = 0;
    uint8_t noTitleEffects = 0;
};

extern const char* const kProfilePath;
extern const char* const kGraphicsPath;
extern const char* const kSoundPath;
extern const char* const kKeysPath;
extern const char* const kGameOptionsPath;

// Readers: false when the file cannot be opened, leaving `out` as it was. A file that opens
// sets every value, lines it lacks reading as 0 or empty; flags read as 0 or 1.
bool readOptions(ProfileOptions& out);
bool readOptions(GraphicsOptions& out);
bool readOptions(SoundOptions& out);
bool readOptions(KeyOptions& out);
bool readOptions(GameOptions& out);

// Writers (オプション): the whole file or nothing. The profile writer refuses an empty name,
// face or wear file, which would end the file early and lose every later line.
bool writeOptions(const ProfileOptions& in);
bool writeOptions(const GraphicsOptions& in);
bool writeOptions(const SoundOptions& in);
bool writeOptions(const KeyOptions& in);
bool writeOptions(const GameOptions& in);

// オプション's hair names (File\Data\LIST_HairName.dat), in hair-number order up to the line ";".
// False when the file cannot be opened or has no ";" line.
bool readHairNames(std::vector<std::string>& names);

// The display size and depth the game switches to. Values outside the option tables mean the
// desktop's, like 0.
struct DisplayMode {
    int width = 0, height = 0, depth = 0;
};
DisplayMode displayModeFor(const GraphicsOptions& g, DisplayMode desktop);

// What the game holds of the option files.
struct Options {
    ProfileOptions profile; // the game keeps only the three load flags of it
    GraphicsOptions graphics;
    SoundOptions sound;
    KeyOptions keys;
    GameOptions game;
    int displayWidth = 0, displayHeight = 0, displayDepth = 0;
    uint8_t titleBackPicture = 0; // loading picture 0 to 9 shown on the title when asked for
};

} // namespace kv

#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Every sound and music file the game loads, by number. The content generator walks these
// tables too, so a file named here is a file that exists.

// Fight sounds, one copy per player slot, heard where that player stands.
enum EffectSound : uint8_t {
    SndWalk1,
    SndWalk2,
    SndWalk3,
    SndJumpEnd,
    SndDown1,
    SndDown2,
    SndSD1,
    SndSD2,
    SndSD3,
    SndSD4,
    SndSD5,
    SndFist,
    SndKnife,
    SndSword,
    SndGreatSword,
    SndIronCrow,
    SndHandAxe,
    SndBigHammer,
    SndSpear,
    SndSwing,
    SndDownGround,
    SndTaunt,
};
constexpr int kEffectSounds = 22;

// Interface sounds, one buffer each, heard at the local player.
enum InterfaceSound : uint8_t {
    UiUserStart,
    UiUserEnd,
    UiChatMes,
    UiGameReady,
    UiGameStart,
    UiGameEnd,
    UiTitle,
    UiMenu1,
    UiMenu2,
    UiMenuClick,
};
constexpr int kInterfaceSounds = 10;

constexpr int kMusicTracks = 2;

inline constexpr std::string_view kSoundFolder = "File\\Sound\\";
inline constexpr std::string_view kVoiceFolder = "File\\Sound\\Voice\\";
inline constexpr std::string_view kMusicFolder = "File\\Music\\";

inline constexpr std::array<std::string_view, kEffectSounds> kEffectFiles = {
    "Walk1.wav",       "Walk2.wav",      "Walk3.wav",        "JumpEnd.wav",  "Down1.wav",
    "Down2.wav",       "SD1.wav",        "SD2.wav",          "SD3.wav",      "SD4.wav",
    "SD5.wav",         "Fist_00.wav",    "Knife_00.wav",     "Sword_00.wav", "GreatSword_00.wav",
    "IronCrow_00.wav", "HandAxe_00.wav", "BigHammer_00.wav", "Spear_00.wav", "Swing_00.wav",
    "down00.wav",      "Tyohatu.wav",
};

inline constexpr std::array<std::string_view, kInterfaceSounds> kInterfaceFiles = {
    "UserStart.wav", "UserEnd.wav", "ChatMes.wav", "GameReady.wav", "GameStart.wav",
    "GameEnd.wav",   "Title.wav",   "Menu1.wav",   "Menu2.wav",     "MenuClick.wav",
};

// Track 0 loops on the title; track 1 is loaded and kept ready.
inline constexpr std::array<std::string_view, kMusicTracks> kMusicFiles = {"Title.wav",
                                                                           "Coliseum.mid"};

// Content paths (backslashes, relative to the game folder) of every file above and of every
// preset voice, each once.
std::vector<std::string> audioContentPaths();

} // namespace kv

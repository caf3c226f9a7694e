#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kv {

class DataLoader;

struct Session;

// The block the host publishes with its session description: version, server message, flags,
// the current map and the rotation. Every field is a byte, so the record is its wire form.
#pragma pack(push, 1)
struct SessionInfo {
    char version[6] = {};
    char serverMessage[99] = {}; // at most 98 bytes and a NUL
    uint8_t reserved = 0;
    uint8_t hasPassword = 0;
    uint8_t serverOnly = 0;
    uint8_t voiceAvailable = 0;
    uint8_t loopAll = 0;
    uint8_t loopRandom = 0;
    uint8_t repeatCount = 0;
    uint8_t currentMap = 0xFF; // none until the first map is set up
    uint8_t selected[20] = {}; // rotation position of maps 0..19, 0 = not in it
    uint8_t gameMinutes = 0;   // 0 = unlimited
};
#pragma pack(pop)

constexpr size_t kSessionInfoBytes = 134;
static_assert(sizeof(SessionInfo) == kSessionInfoBytes);
static_assert(offsetof(SessionInfo, serverMessage) == 6);
static_assert(offsetof(SessionInfo, reserved) == 105);
static_assert(offsetof(SessionInfo, hasPassword) == 106);
static_assert(offsetof(SessionInfo, serverOnly) == 107);
static_assert(offsetof(SessionInfo, voiceAvailable) == 108);
static_assert(offsetof(SessionInfo, loopAll) == 109);
static_assert(offsetof(SessionInfo, loopRandom) == 110);
static_assert(offsetof(SessionInfo, repeatCount) == 111);
static_assert(offsetof(SessionInfo, currentMap) == 112);
static_assert(offsetof(SessionInfo, selected) == 113);
static_assert(offsetof(SessionInfo, gameMinutes) == 133);

constexpr std::string_view kSessionVersion = "0.61a";

using SessionInfoBytes = std::array<uint8_t, kSessionInfoBytes>;
SessionInfoBytes packSessionInfo(const SessionInfo& info);
// A block read from a host's answer. A shorter block is filled up with zeros, and the texts
// always end inside their fields, so nothing a host publishes can run past them.
SessionInfo unpackSessionInfo(std::span<const uint8_t> bytes);

// The one place the fields are written from the session:
void setSessionVersion(SessionInfo& info);
// The server message as typed, cut to 98 bytes at a whole character.
void setServerMessage(SessionInfo& info, std::string_view cp932);
// The password and dedicated-host flags.
void setAccessFlags(SessionInfo& info, const Session& s);
// Voice, rotation flags, repeat count and game length.
void setMatchFlags(SessionInfo& info, const Session& s);
// The rotation positions of the first 20 maps.
void setRotation(SessionInfo& info, std::span<const uint8_t> selected);
// The rotation as a host plays it: with "every map" set, every map is marked in list order
// first; then the marks are published.
void publishRotation(SessionInfo& info, const Session& s, DataLoader& data);

std::string_view versionOf(const SessionInfo& info);
std::string_view serverMessageOf(const SessionInfo& info);

} // namespace kv

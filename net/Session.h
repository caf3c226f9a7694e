#pragma once
#include "platform/Text.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace kv {

class DataLoader;

// Connection and server settings, and the host's match state. Texts are CP932, NUL-terminated
// in fields whose sizes include the terminator; set them with setText, which cuts a longer
// text at a whole character (a typed password longer than 10 bytes loses its end).
struct Session {
    // The map rotation lives in the map records (their `selected` mark), hence the loader.
    explicit Session(DataLoader& data);

    char ipAddress[16]{};
    uint32_t port{};
    uint8_t isHost{};
    uint8_t serverOnly{};
    char roomName[41]{};
    char password[11]{};
    uint8_t maxPlayers{};
    uint8_t currentMap{};
    uint8_t voiceAvailable{};
    char serverMessage[100]{};
    uint8_t loopAll{};
    uint8_t loopRandom{};
    int32_t mode{};
    int32_t gameMinutes{};
    int32_t intervalSeconds{};
    int32_t prepSeconds{};
    int32_t reviveSeconds{};
    uint8_t repeatCount{};
    uint8_t announced[5]{};
    uint32_t phaseStart{};
    uint8_t lanSearch{};
    uint8_t customPort{};
    char joinPassword[11]{};
    uint8_t voiceJoin{};
    uint8_t phase{}; // 0 fight, 1 preparation, 2 interval
    uint8_t repeatsDone{};

    static constexpr int kGeneral = 0, kMode = 1, kMaps = 2, kAll = 255;
    // Back to the defaults: group 0 general, 1 mode, 2 map rotation, 255 all; others nothing.
    void resetSettings(int group);

    // ServerSetting.ini: false (nothing changed) when it cannot be opened.
    bool loadServerSettings();
    // Writes ServerSetting.ini with `mode` set to 111; an empty room name gives an empty file.
    bool saveServerSettings();
    // Setting.ini: the address last typed for a direct connection.
    bool loadAddress();
    bool saveAddress(std::string_view text);

private:
    DataLoader& data_;
};

template <size_t N> void setText(char (&field)[N], std::string_view text) {
    copyToField(field, N, text);
}

template <size_t N> std::string_view textOf(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

} // namespace kv

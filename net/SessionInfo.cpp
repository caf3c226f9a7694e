#include "net/SessionInfo.h"

#include <algorithm>
#include <cstring>

#include "data/DataLoader.h"
#include "net/Session.h"
#include "platform/Text.h"

namespace kv {

SessionInfoBytes packSessionInfo(const SessionInfo& info) {
    SessionInfoBytes out;
    std::memcpy(out.data(), &info, sizeof info);
    return out;
}

SessionInfo unpackSessionInfo(std::span<const uint8_t> bytes) {
    SessionInfoBytes raw{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), raw.size()), raw.begin());
    SessionInfo info;
    std::memcpy(&info, raw.data(), sizeof info);
    info.version[sizeof info.version - 1] = 0;
    info.serverMessage[sizeof info.serverMessage - 1] = 0;
    return info;
}

void setSessionVersion(SessionInfo& info) {
    std::memset(info.version, 0, sizeof info.version);
    std::copy(kSessionVersion.begin(), kSessionVersion.end(), info.version);
}

void setServerMessage(SessionInfo& info, std::string_view cp932) {
    copyToField(info.serverMessage, sizeof info.serverMessage, cp932);
}

void setAccessFlags(SessionInfo& info, const Session& s) {
    info.hasPassword = s.password[0] != 0;
    info.serverOnly = s.serverOnly != 0;
}

void setMatchFlags(SessionInfo& info, const Session& s) {
    info.voiceAvailable = s.voiceAvailable != 0;
    info.loopAll = s.loopAll != 0;
    info.loopRandom = s.loopRandom != 0;
    info.repeatCount = s.repeatCount;
    info.gameMinutes = static_cast<uint8_t>(s.gameMinutes);
}

void setRotation(SessionInfo& info, std::span<const uint8_t> selected) {
    std::memset(info.selected, 0, sizeof info.selected);
    std::copy_n(selected.begin(), std::min(selected.size(), sizeof info.selected), info.selected);
}

void publishRotation(SessionInfo& info, const Session& s, DataLoader& data) {
    if (s.loopAll)
        for (int k = 0; k < data.mapCount(); ++k)
            data.setMapSelected(k, static_cast<uint8_t>(k + 1));
    std::array<uint8_t, kMaxMaps> selected{};
    for (int k = 0; k < kMaxMaps; ++k)
        selected[size_t(k)] = data.map(k).selected;
    setRotation(info, selected);
}

std::string_view versionOf(const SessionInfo& info) {
    return {info.version, strnlen(info.version, sizeof info.version)};
}

std::string_view serverMessageOf(const SessionInfo& info) {
    return {info.serverMessage, strnlen(info.serverMessage, sizeof info.serverMessage)};
}

} // namespace kv

#include "net/Session.h"

#include "data/DataLoader.h"
#include "data/LineFile.h"

#include <vector>

namespace kv {
namespace {

const char* const kServerSettings = "ServerSetting.ini";
const char* const kAddressFile = "Setting.ini";
// The session's line table: 50 lines of at most 255 bytes.
constexpr LineLimits kSessionLines{50, 255};
constexpr int kSavedMaps = 20;

} // namespace

Session::Session(DataLoader& data) : data_(data) {
    setText(ipAddress, "192.168.0.0");
    lanSearch = 1;
    resetSettings(kAll);
}

void Session::resetSettings(int group) {
    bool all = group == kAll;
    if (all || group == kGeneral) {
        customPort = 0;
        port = 2341;
        setText(roomName, "Kestrava Server");
        setText(password, "");
        maxPlayers = 10;
        currentMap = 0;
        voiceAvailable = 0;
        setText(joinPassword, "");
        voiceJoin = 0;
        serverOnly = 0;
        setText(serverMessage, sjis("クライアントに見せるメッセージ内容"));
    }
    if (all || group == kMode) {
        mode = 0;
        gameMinutes = 0;
        intervalSeconds = 30;
        prepSeconds = 30;
        reviveSeconds = 15;
    }
    if (all || group == kMaps) {
        loopAll = 0;
        loopRandom = 0;
        repeatCount = 1;
        for (int i = 0; i < kMaxMaps; ++i)
            data_.setMapSelected(i, 0);
    }
}

bool Session::loadServerSettings() {
    LineFile f;
    if (!readLineFile(kServerSettings, f, kSessionLines))
        return false;
    setText(roomName, f.text(0));
    setText(serverMessage, f.text(1));
    maxPlayers = f.u8(2);
    currentMap = f.u8(3);
    voiceAvailable = f.flag(4);
    voiceJoin = f.flag(5);
    serverOnly = f.flag(6);
    customPort = f.flag(7);
    port = static_cast<uint32_t>(f.integer(8));
    loopAll = f.flag(9);
    loopRandom = f.flag(10);
    mode = f.integer(11);
    gameMinutes = f.integer(12);
    intervalSeconds = f.integer(13);
    prepSeconds = f.integer(14);
    reviveSeconds = f.integer(15);
    repeatCount = f.u8(16);
    for (int i = 0; i < kSavedMaps; ++i)
        data_.setMapSelected(i, f.u8(static_cast<size_t>(17 + i)));
    return true;
}

bool Session::saveServerSettings() {
    mode = 111;
    auto flag = [](uint8_t v) { return std::string(v ? "1" : "0"); };
    std::vector<std::string> lines{
        std::string(textOf(roomName)),
        std::string(textOf(serverMessage)),
        std::to_string(maxPlayers),
        std::to_string(currentMap),
        flag(voiceAvailable),
        flag(voiceJoin),
        flag(serverOnly),
        flag(customPort),
        std::to_string(port),
        flag(loopAll),
        flag(loopRandom),
        std::to_string(mode),
        std::to_string(gameMinutes),
        std::to_string(intervalSeconds),
        std::to_string(prepSeconds),
        std::to_string(reviveSeconds),
        std::to_string(repeatCount),
    };
    for (int i = 0; i < kSavedMaps; ++i)
        lines.push_back(std::to_string(data_.map(i).selected));
    return writeLineFile(kServerSettings, lines, kGameWriter);
}

bool Session::loadAddress() {
    LineFile f;
    if (!readLineFile(kAddressFile, f, kSessionLines))
        return false;
    setText(ipAddress, f.text(0));
    return true;
}

bool Session::saveAddress(std::string_view text) {
    setText(ipAddress, text);
    return writeLineFile(kAddressFile, {std::string(textOf(ipAddress))}, kGameWriter);
}

} // namespace kv

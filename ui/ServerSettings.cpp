#include "ui/ServerSettings.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/Text.h"

namespace kv {

namespace rotation {

int count(const DataLoader& data) {
    int n = 0;
    for (int i = 0; i < data.mapCount(); ++i)
        n += data.map(i).selected != 0;
    return n;
}

void add(DataLoader& data, int map) {
    if (map < 0 || map >= data.mapCount() || data.map(map).selected != 0)
        return;
    data.setMapSelected(map, static_cast<uint8_t>(count(data) + 1));
}

void remove(DataLoader& data, int map) {
    if (map < 0 || map >= data.mapCount())
        return;
    uint8_t pos = data.map(map).selected;
    if (pos == 0)
        return;
    for (int i = 0; i < data.mapCount(); ++i)
        if (data.map(i).selected > pos)
            data.setMapSelected(i, static_cast<uint8_t>(data.map(i).selected - 1));
    data.setMapSelected(map, 0);
}

void clear(DataLoader& data) {
    for (int i = 0; i < kMaxMaps; ++i)
        data.setMapSelected(i, 0);
}

std::vector<int> outside(const DataLoader& data) {
    std::vector<int> rows;
    for (int i = 0; i < data.mapCount(); ++i)
        if (data.map(i).selected == 0)
            rows.push_back(i);
    return rows;
}

std::vector<int> inOrder(const DataLoader& data) {
    std::vector<int> rows;
    for (int pos = 1; pos <= 255; ++pos)
        for (int i = 0; i < data.mapCount(); ++i)
            if (data.map(i).selected == pos)
                rows.push_back(i);
    return rows;
}

std::string description(const DataLoader& data, int map) {
    if (map < 0 || map >= data.mapCount())
        return sjis("マップを選択してください。");
    return sjis("マップ名：") + data.map(map).name + "\n" + data.map(map).description;
}

int next(DataLoader& data, bool loopAll, bool loopRandom, Random& random, int& counter) {
    if (loopAll)
        for (int k = 0; k < data.mapCount(); ++k)
            data.setMapSelected(k, static_cast<uint8_t>(k + 1));
    auto at = [&](int pos) {
        for (int i = 0; i < data.mapCount(); ++i)
            if (data.map(i).selected == pos)
                return i;
        return -1;
    };
    if (loopRandom) {
        int m = at(random.random(count(data)) + 1);
        if (m >= 0)
            return m;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        int m = at(counter);
        if (m >= 0) {
            ++counter;
            return m;
        }
        counter = 1;
    }
    return 0;
}

} // namespace rotation

namespace {

// The number at the start of an edit's text, as atoi reads it but without overflow.
long long number(const std::string& text) {
    long long v = std::strtoll(text.c_str(), nullptr, 10);
    return std::clamp<long long>(v, INT_MIN, INT_MAX);
}

std::string format(const char* utf8, long long a, long long b = 0) {
    char buf[256];
    std::snprintf(buf, sizeof buf, sjis(utf8).c_str(), static_cast<int>(a), static_cast<int>(b));
    return buf;
}

void fillGeneral(ServerSettingsForm& f, const Session& s, bool practice) {
    if (practice) {
        f.roomName = "Only One Server";
        f.password.clear();
        f.maxPlayers = "1";
        f.serverMessage = sjis("一人プレイ中");
        f.customPort = f.serverOnly = f.voiceAvailable = f.voiceJoin = false;
        f.port = std::to_string(s.port);
        return;
    }
    f.roomName = std::string(textOf(s.roomName));
    f.password = std::string(textOf(s.password));
    f.maxPlayers = std::to_string(s.maxPlayers);
    f.serverMessage = std::string(textOf(s.serverMessage));
    f.customPort = s.customPort;
    f.port = std::to_string(s.port);
    f.serverOnly = s.serverOnly;
    f.voiceAvailable = s.voiceAvailable;
    f.voiceJoin = s.voiceJoin;
}

void fillMode(ServerSettingsForm& f, const Session& s) {
    f.mode = 0; // one mode only
    f.gameMinutes = std::to_string(s.gameMinutes);
    f.intervalSeconds = std::to_string(s.intervalSeconds);
    f.prepSeconds = std::to_string(s.prepSeconds);
    f.reviveSeconds = std::to_string(s.reviveSeconds);
}

void fillMaps(ServerSettingsForm& f, const Session& s) {
    f.repeatCount = std::to_string(s.repeatCount);
    f.loopAll = s.loopAll;
    f.loopRandom = s.loopRandom;
}

} // namespace

ServerSettingsForm formFromSession(const Session& s, bool practice) {
    ServerSettingsForm f;
    fillGeneral(f, s, practice);
    fillMode(f, s);
    fillMaps(f, s);
    return f;
}

void refillPage(ServerSettingsForm& form, const Session& s, bool practice, int page) {
    if (page == 0)
        fillGeneral(form, s, practice);
    else if (page == 1)
        fillMode(form, s);
    else if (page == 2)
        fillMaps(form, s);
}

bool applyServerSettings(const ServerSettingsForm& f, Session& s, DataLoader& data,
                         SessionInfo& info, MessageBoxes& boxes,
                         const std::function<uint8_t()>& chooseNextMap, bool practice) {
    auto refuse = [&](const std::string& text) {
        boxes.show(sjis("警告"), text);
        return false;
    };
    // These boxes change their fields the moment they are ticked.
    s.customPort = f.customPort;
    s.voiceAvailable = f.voiceAvailable;
    s.loopAll = f.loopAll;
    s.loopRandom = f.loopRandom;

    if (rotation::count(data) == 0 && !f.loopAll)
        return refuse(sjis("マップが選択されていません"));
    if (f.roomName.size() >= 41)
        return refuse(format("サーバー名が長すぎます！\n半角%d文字までです。\n（現在半角%d文字）",
                             40, f.roomName.size()));
    if (f.serverMessage.size() >= 100)
        return refuse(
            format("サーバーメッセージが長すぎます！\n半角%d文字までです。\n（現在半角%d文字）", 99,
                   f.serverMessage.size()));

    setServerMessage(info, f.serverMessage);
    setText(s.serverMessage, f.serverMessage.empty() ? std::string(" ") : f.serverMessage);

    long long repeat = number(f.repeatCount);
    if (repeat < 1 || repeat > 255)
        return refuse(sjis("繰り返し回数を1～255以内に設定してください"));
    s.repeatCount = static_cast<uint8_t>(repeat);
    setText(s.roomName, f.roomName);
    setText(s.password, f.password);
    if (chooseNextMap)
        s.currentMap = chooseNextMap();

    if (f.serverOnly && f.voiceAvailable && f.voiceJoin)
        return refuse(sjis("サーバー専用とボイスチャット参加は同時にできません！"));
    s.serverOnly = f.serverOnly;
    s.voiceJoin = f.voiceJoin;

    long long players = number(f.maxPlayers.substr(0, 3));
    if (players <= 0 || players > 32)
        return refuse("\"" + f.maxPlayers + "\"" + sjis("人は設定できません"));
    s.maxPlayers = static_cast<uint8_t>(players);

    if (f.customPort) {
        long long port = number(f.port);
        if (port <= 0 || port > 65535 || port == 2342)
            return refuse(format("\"%d\"のポートは使えません", port));
        s.port = static_cast<uint32_t>(port);
    }

    s.mode = f.mode;
    long long minutes = number(f.gameMinutes);
    s.gameMinutes = static_cast<int32_t>(minutes);
    if (minutes < 0 || minutes > 60)
        return refuse(format("%d 分は設定できません", minutes));

    struct Seconds {
        const std::string& text;
        int32_t& field;
        const char* message;
    };
    const Seconds seconds[] = {
        {f.intervalSeconds, s.intervalSeconds,
         "次のゲームまでの時間を0秒から300秒の間で設定してください"},
        {f.prepSeconds, s.prepSeconds, "準備時間を0秒から300秒の間で設定してください"},
        {f.reviveSeconds, s.reviveSeconds,
         "生き返るまでの時間を0秒から300秒の間で設定してください"},
    };
    for (const Seconds& sec : seconds) {
        long long v = number(sec.text);
        if (v < 0 || v > 300)
            return refuse(sjis(sec.message));
        sec.field = static_cast<int32_t>(v);
    }

    setAccessFlags(info, s);
    setMatchFlags(info, s);

    if (!practice)
        s.saveServerSettings();

    publishRotation(info, s, data);
    return true;
}

DetailStatus detailStatus(int currentPlayers, int maxPlayers, uint32_t msSinceOpen,
                          int joinedSinceStart) {
    char buf[64];
    DetailStatus d;
    std::snprintf(buf, sizeof buf, "%d / %d", currentPlayers - 1, maxPlayers - 1);
    d.players = buf;
    uint32_t minutes = msSinceOpen / 60000;
    std::string hours;
    if (minutes >= 60) {
        std::snprintf(buf, sizeof buf, sjis("%u 時間").c_str(), minutes / 60);
        hours = buf;
    }
    std::snprintf(buf, sizeof buf, sjis("%s %u 分").c_str(), hours.c_str(), minutes % 60);
    d.uptime = buf;
    std::snprintf(buf, sizeof buf, sjis("%d 人").c_str(), joinedSinceStart - 1);
    d.joined = buf;
    return d;
}

bool applySettingsChange(const ServerSettingsForm& f, Session& s, SessionInfo& info, int playersNow,
                         MessageBoxes& boxes, const std::function<bool()>& publish) {
    long long players = number(f.maxPlayers);
    if (players <= 0 || players > 32) {
        boxes.show(sjis("警告"), "\"" + f.maxPlayers + "\"" + sjis("人は設定できません"));
        return false;
    }
    if (players < playersNow) {
        boxes.show(sjis("警告"), format(" 参加人数を %d 人よりも少なく設定できません", playersNow));
        return false;
    }
    if (boxes.show(sjis("確認"), sjis("設定を変更してよろしいですか？"), MsgButtons::YesNo) !=
        MsgResult::Yes)
        return false;
    s.maxPlayers = static_cast<uint8_t>(players);
    setText(s.roomName, f.roomName);
    setServerMessage(info, f.serverMessage);
    setText(s.serverMessage, f.serverMessage.empty() ? std::string(" ") : f.serverMessage);
    setSessionVersion(info);
    setText(s.password, f.password);
    setAccessFlags(info, s);
    if (publish && !publish()) {
        boxes.show(sjis("警告"), sjis("設定を変更できませんでした"));
        return false;
    }
    s.saveServerSettings();
    return true;
}

} // namespace kv

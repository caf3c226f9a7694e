#include "ui/SessionList.h"

#include <algorithm>
#include <cstring>

#include "net/SessionInfo.h"
#include "platform/Text.h"

namespace kv {

const std::array<SessionColumn, kSessionColumns> kSessionColumnTable = {{
    {"セッション名", 90},
    {"人数", 40},
    {"PING", 40},
    {"マップ", 60},
    {"時間", 40},
    {"モード", 60},
    {"IP", 80},
    {"Version", 40},
}};

namespace {

// The first `chars` characters of a CP932 text.
std::string firstChars(std::string_view s, int chars) {
    size_t i = 0;
    for (int n = 0; n < chars && i < s.size(); ++n)
        i += isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    return std::string(s.substr(0, i));
}

std::string mapName(const DataLoader& data, int map) {
    return map >= 0 && map < data.mapCount() ? data.map(map).name : std::string();
}

// The host's own player is never counted in the list.
std::string playersText(const HostEntry& e) {
    return std::to_string(static_cast<int64_t>(e.currentPlayers) - 1) + "/" +
           std::to_string(static_cast<int64_t>(e.maxPlayers) - 1);
}

} // namespace

std::string entryVersion(const HostEntry& e) {
    return fromField(reinterpret_cast<const char*>(e.info), sizeof SessionInfo{}.version);
}

std::string minutesText(uint32_t minutes) {
    return minutes == 0 ? sjis("無制限") : std::to_string(minutes) + sjis(" 分");
}

SessionRow sessionRow(const HostEntry& e, int entry, const DataLoader& data) {
    SessionRow r;
    r.entry = entry;
    r.icon = e.access == 1   ? AccessIcon::Password
             : e.access == 2 ? AccessIcon::Dedicated
                             : AccessIcon::Open;
    r.cells[0] = fromField(e.sessionName, sizeof e.sessionName);
    r.cells[1] = playersText(e);
    r.cells[2] = std::to_string(e.latency);
    r.cells[3] = mapName(data, e.mapIndex);
    r.cells[4] = minutesText(e.minutes);
    r.cells[5] = sjis("体験版");
    r.cells[6] = fromField(e.hostIp, sizeof e.hostIp);
    r.cells[7] = entryVersion(e);
    return r;
}

std::vector<SessionRow> sessionRows(std::span<const HostEntry> hosts, const DataLoader& data) {
    std::vector<SessionRow> rows;
    for (size_t i = 0; i < hosts.size(); ++i)
        if (hosts[i].used)
            rows.push_back(sessionRow(hosts[i], static_cast<int>(i), data));
    return rows;
}

void SessionSort::click(int column) {
    if (column < 0 || column >= kSessionColumns)
        return;
    descending_ = column == column_ && !descending_;
    column_ = column;
}

void SessionSort::apply(std::vector<SessionRow>& rows) const {
    if (column_ < 0)
        return;
    int c = column_;
    bool down = descending_;
    std::stable_sort(rows.begin(), rows.end(), [c, down](const SessionRow& a, const SessionRow& b) {
        int k = std::strcmp(a.cells[c].c_str(), b.cells[c].c_str());
        return down ? k > 0 : k < 0;
    });
}

SessionDetails sessionDetails(const HostEntry& e, const DataLoader& data) {
    SessionDetails d;
    d.name = fromField(e.sessionName, sizeof e.sessionName);
    d.mode = sjis("体験版");
    d.ip = fromField(e.hostIp, sizeof e.hostIp);
    d.message =
        fromField(reinterpret_cast<const char*>(e.info) + offsetof(SessionInfo, serverMessage),
                  sizeof e.info - offsetof(SessionInfo, serverMessage));
    d.version = entryVersion(e);
    d.time = minutesText(e.minutes);
    // Positions 1, 2, 3...: a position no map holds is skipped.
    std::vector<std::pair<int, int>> byPosition;
    for (int k = 0; k < static_cast<int>(std::size(e.rotation)); ++k)
        if (e.rotation[k] != 0)
            byPosition.push_back({e.rotation[k], k});
    std::stable_sort(byPosition.begin(), byPosition.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [position, map] : byPosition)
        d.rotation.push_back(mapName(data, map));
    if (e.random == 1) {
        d.randomLabel = sjis("[ ランダム ]");
        d.repeatLabel = sjis("[ 回数：") + std::to_string(e.repeat) + sjis(" ]");
    }
    return d;
}

std::optional<std::string> joinRefusal(const HostEntry* entry) {
    if (!entry)
        return sjis("参加するサーバーを選択していません。");
    if (entryVersion(*entry).substr(0, 4) != kSessionVersion.substr(0, 4))
        return sjis("バージョンが違うため、参加できません");
    return std::nullopt;
}

bool needsClientOptions(const HostEntry& e) {
    return e.access == 1 || e.voice == 1;
}

std::string addressField(std::string_view cp932) {
    return firstChars(cp932, 15);
}

ConnectOutcome connectPressed(SearchWay way, std::string_view address, Session& session,
                              const std::function<bool()>& setupAddresses) {
    ConnectOutcome out;
    switch (way) {
    case SearchWay::Lobby:
        out.status = sjis("ロビー接続はできません。");
        return out;
    case SearchWay::Local:
        session.lanSearch = 1;
        if (setupAddresses)
            setupAddresses();
        out.refresh = true;
        return out;
    case SearchWay::Direct:
        break;
    }
    std::string typed = addressField(address);
    if (typed.empty()) {
        out.status = sjis("IPが書かれていません。");
        return out;
    }
    session.saveAddress(typed);
    session.lanSearch = 0;
    if (setupAddresses && !setupAddresses())
        return out;
    out.status = std::string();
    out.refresh = true;
    return out;
}

ClientOptionParts clientOptionParts(const HostEntry& e) {
    return {e.access == 1, e.voice == 1};
}

std::optional<std::string> clientOptionsConnect(bool voiceTicked, bool voiceTestPassed,
                                                std::string_view password, Session& session) {
    if (voiceTicked && !voiceTestPassed)
        return sjis("ボイスチャットに参加するためには\nボイステストを行って下さい");
    setText(session.joinPassword, firstChars(password, 10));
    // An unticked box joins without voice, whatever an earlier hosted game left here.
    session.voiceJoin = voiceTicked ? 1 : 0;
    return std::nullopt;
}

} // namespace kv

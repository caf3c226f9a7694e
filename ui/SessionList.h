#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/DataLoader.h"
#include "net/ClientSession.h"
#include "net/Session.h"

namespace kv {

// The host list's columns: name (with the access icon), players, ping, map, time, mode, IP and
// version. Texts are CP932.
constexpr int kSessionColumns = 8;
struct SessionColumn {
    const char* header; // UTF-8
    int width;
};
extern const std::array<SessionColumn, kSessionColumns> kSessionColumnTable;

// The access icons: open, password, dedicated host.
enum class AccessIcon : uint8_t { Open = 0, Password = 1, Dedicated = 2 };

// One row of the list: the entry it shows and its cells.
struct SessionRow {
    int entry = -1;
    AccessIcon icon = AccessIcon::Open;
    std::array<std::string, kSessionColumns> cells;
};

// The version text at the start of the published block (at most its six bytes).
std::string entryVersion(const HostEntry& e);
// "無制限" for 0 minutes, else "%d 分".
std::string minutesText(uint32_t minutes);
SessionRow sessionRow(const HostEntry& e, int entry, const DataLoader& data);
// One row per used entry, in entry order.
std::vector<SessionRow> sessionRows(std::span<const HostEntry> hosts, const DataLoader& data);

// Click-to-sort: the first click on a column sorts ascending, each further click on the same
// column flips the order; a click on another column starts ascending again. Plain byte-wise
// comparison of the cells; rows that compare equal keep their order.
class SessionSort {
public:
    void click(int column);
    void apply(std::vector<SessionRow>& rows) const;
    int column() const { return column_; }
    bool descending() const { return descending_; }

private:
    int column_ = -1;
    bool descending_ = false;
};

// The details pane of one entry.
struct SessionDetails {
    std::string name, mode, ip, message, version, time;
    std::vector<std::string> rotation; // map names by rotation position 1, 2, 3...
    std::string randomLabel;           // "[ ランダム ]" when the rotation is random
    std::string repeatLabel;           // "[ 回数：%d ]" with it
};
SessionDetails sessionDetails(const HostEntry& e, const DataLoader& data);

// "参加": the status line's refusal, or nothing when the entry can be joined. `entry` is null
// when no row is selected.
std::optional<std::string> joinRefusal(const HostEntry* entry);
// A password or voice chat needs the client options first.
bool needsClientOptions(const HostEntry& e);

// The three ways to look for hosts.
enum class SearchWay { Lobby = 0, Local = 1, Direct = 2 };
// "接続": what the press did. `status` is the status line afterwards when it changes it; a
// refresh follows when `refresh` is set.
struct ConnectOutcome {
    std::optional<std::string> status;
    bool refresh = false;
};
// The address field (CP932) keeps at most 15 characters; a direct connection saves it in
// Setting.ini. `setupAddresses` points the client at the address or the LAN.
ConnectOutcome connectPressed(SearchWay way, std::string_view address, Session& session,
                              const std::function<bool()>& setupAddresses);
// The field's text as the dialog keeps it: the first 15 characters.
std::string addressField(std::string_view cp932);

// "CLIENT_OPTION": which parts are enabled for an entry, and its connect button.
struct ClientOptionParts {
    bool password = false;
    bool voice = false;
};
ClientOptionParts clientOptionParts(const HostEntry& e);
// The connect button: with voice ticked before the voice test succeeded, the warning to show
// (the dialog stays); otherwise stores the password (at most 10 characters) and the voice
// choice in the session and gives nothing.
std::optional<std::string> clientOptionsConnect(bool voiceTicked, bool voiceTestPassed,
                                                std::string_view password, Session& session);

} // namespace kv

#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/DataLoader.h"
#include "net/Session.h"
#include "net/SessionInfo.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"

namespace kv {

// The map rotation as the maps page edits it: a map's `selected` mark is its position in the
// rotation (1 first), 0 when it is not in it.
namespace rotation {
int count(const DataLoader& data);
// Appends a map that is not in the rotation.
void add(DataLoader& data, int map);
// Takes a map out; the maps behind it move up one position.
void remove(DataLoader& data, int map);
void clear(DataLoader& data);
// The maps page's two lists: maps outside the rotation in list order, and the rotation in
// order of position (missing positions skipped).
std::vector<int> outside(const DataLoader& data);
std::vector<int> inOrder(const DataLoader& data);
// "マップ名：%s\n%s", or "マップを選択してください。" for no map (-1). CP932.
std::string description(const DataLoader& data, int map);

// The next map to play. With loopAll every map joins the rotation in list order first. With
// loopRandom a random position is tried first; otherwise (or when no map has it) the map at
// position `counter`, which then moves on, starting again at 1 past the end. 0 when the
// rotation is empty.
int next(DataLoader& data, bool loopAll, bool loopRandom, Random& random, int& counter);
} // namespace rotation

// What the three pages' controls hold. Edits are kept as typed (CP932); the start button
// reads numbers from them.
struct ServerSettingsForm {
    // 全般
    std::string roomName, maxPlayers, password, port, serverMessage;
    bool customPort = false, serverOnly = false, voiceAvailable = false, voiceJoin = false;
    // モード
    int mode = 0;
    std::string gameMinutes, intervalSeconds, prepSeconds, reviveSeconds;
    // マップ
    std::string repeatCount;
    bool loopAll = false, loopRandom = false;
};

// The pages filled from the session. In practice the general page shows the one-player
// server: "Only One Server", no password, 1 player, "一人プレイ中", boxes unticked.
ServerSettingsForm formFromSession(const Session& s, bool practice);
// Refills one page (0 general, 1 mode, 2 maps) from the session, after a reset.
void refillPage(ServerSettingsForm& form, const Session& s, bool practice, int page);

// The start button's checks and stores, in their order: each check that fails shows its
// message (caption "警告") and returns false, keeping what the checks before it stored. On
// success every field is in the session and the block, the rotation is complete, and the
// settings are saved unless in practice.
bool applyServerSettings(const ServerSettingsForm& form, Session& session, DataLoader& data,
                         SessionInfo& info, MessageBoxes& boxes,
                         const std::function<uint8_t()>& chooseNextMap, bool practice);

// The settings detail dialog of a running host.
struct DetailStatus {
    std::string players; // "%d / %d": players now and the most, the host's own not counted
    std::string uptime;  // "%d 時間" (none under an hour) then " %d 分"
    std::string joined;  // "%d 人": players joined since the start, the host's own not counted
};
DetailStatus detailStatus(int currentPlayers, int maxPlayers, uint32_t msSinceOpen,
                          int joinedSinceStart);

// "設定変更": the player limit is checked (1 to 32, not below the players now in the session),
// the change confirmed, the name, message and password stored, the block's version, message
// and password and dedicated flags written, and the description published. True when it
// was published and saved (the dialog then closes); every refusal has shown its message.
bool applySettingsChange(const ServerSettingsForm& form, Session& session, SessionInfo& info,
                         int playersNow, MessageBoxes& boxes, const std::function<bool()>& publish);

} // namespace kv

#pragma once
#include <functional>
#include <span>

#include "data/DataLoader.h"
#include "net/ClientSession.h"
#include "net/Session.h"
#include "platform/MessageBox.h"
#include "platform/gui/Gui.h"
#include "ui/DialogTimers.h"
#include "ui/JoinProgress.h"

namespace kv {

// "NETWORKLOAD" (セッション): the join's progress window over `behind`. True when the player is
// in the game.
bool runJoinDialog(Gui& gui, DialogTimers& timers, JoinProgress& progress,
                   const std::function<void()>& behind);

// What the host list asks of the client session and the dialogs it opens.
struct SessionListLinks {
    std::function<bool()> setupAddresses;
    std::function<void()> clearHosts;
    std::function<bool()> searchHosts; // synchronous
    std::function<std::span<const HostEntry>()> hosts;
    std::function<bool(const HostEntry&)> clientOptions; // false: cancelled
    std::function<void()> versionDialog;
    std::function<void()> behind;
};

// "SESSIONLIST" (HOST一覧): the entry index the player joins, or -1 when he closed it. On a
// join, Session::serverOnly is 0 and Game::mapIndex the host's map.
int runSessionList(Gui& gui, Game& game, Session& session, const DataLoader& data,
                   const SessionListLinks& links);

// "CLIENT_OPTION" (Client Option) for the chosen entry. True when the player connects, with
// Session::joinPassword and voiceJoin set. `voiceTest` runs the voice set-up test.
bool runClientOptions(Gui& gui, MessageBoxes& boxes, Session& session, const HostEntry& entry,
                      const std::function<bool()>& voiceTest, const std::function<void()>& behind);

// "DLG_VERSION" (バージョン情報): this build's version, product, company and copyright.
void runVersionDialog(Gui& gui, const std::function<void()>& behind);

} // namespace kv

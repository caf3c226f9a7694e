#pragma once
#include <cstdint>
#include <functional>

#include "data/DataLoader.h"
#include "net/Session.h"
#include "platform/MessageBox.h"
#include "platform/gui/Gui.h"
#include "shell/GameState.h"
#include "ui/ServerSettings.h"

namespace kv {

// What the settings dialog starts once its checks pass. Unset calls succeed and do nothing.
struct ServerSettingsLinks {
    std::function<uint8_t()> chooseNextMap;
    std::function<void()> closeHost;
    std::function<bool()> startHost;
    std::function<bool()> startVoiceServer;
    std::function<void()> updateSessionDesc;
    std::function<bool()> runJoinDialog;    // a playing host joins his own game
    std::function<bool()> runLoadingDialog; // the stage in Game::loadStage; false: cancelled
    std::function<void()> placeAll;         // practice: every slot to its start point
    std::function<void()> behind;           // draws what lies behind the dialog
};

// "SERVER_OPTION" (サーバー設定): the general, mode and map pages, reset, cancel and the start
// button. Hosts the game, or in practice (Game::practiceMode) sets up the local player and
// loads the map. True when the game has been started.
bool runServerSettings(Gui& gui, MessageBoxes& boxes, Game& game, Session& session,
                       DataLoader& data, SessionInfo& info, const ServerSettingsLinks& links);

} // namespace kv

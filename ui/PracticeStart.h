#pragma once
#include <functional>

#include "data/DataLoader.h"
#include "net/Session.h"
#include "shell/GameState.h"

namespace kv {

// What setting up practice needs from the match control and the loading dialog.
struct PracticeLinks {
    std::function<void()> placeAll;         // every slot to its start point on the map
    std::function<bool()> runLoadingDialog; // the stage in Game::loadStage; false: cancelled
};

// The practice player: slot 0 in use and alive on the session's current map, with the
// equipment file's equipment and the profile's look (or the default profile), then the
// game-start and map loading stages. False when either stage is cancelled.
bool startPractice(Game& game, Session& session, const DataLoader& data,
                   const PracticeLinks& links);

} // namespace kv

#pragma once
#include "net/Router.h"
#include "platform/Clock.h"
#include "shell/GameState.h"

#include <cstdint>
#include <functional>

namespace kv {

// What one game tick reaches in the program around it; unset calls do nothing. Messages to the
// host leave through the router.
struct TickLinks {
    // A dedicated host's first tick: the server console runs until it closes.
    std::function<bool()> serverOnlyHost;
    std::function<void()> runServerConsole;
    std::function<void()> titleTick;
    // Interlude: a client loads the next map's models before playing on.
    std::function<bool()> isHost;
    std::function<void()> reloadMapModels;
    std::function<void()> closeIme;
    // Playing: updateDistances, controlActions, sweepMovement of the local slot, footsteps.
    std::function<void()> simulate;
    std::function<void(int slot)> advanceAnimation;
};

constexpr uint32_t kReadyRepeatMs = 500;
constexpr uint32_t kStartPollMs = 2000;
constexpr uint32_t kStartBannerMs = 3000;

// One fixed tick of the game, by application state.
class GameTick {
public:
    GameTick(Game& game, Clock& clock, Router& router, TickLinks links)
        : game_(game), clock_(clock), router_(router), links_(std::move(links)) {}
    void run();

private:
    void playing();
    void interlude();
    void sendToHost(uint8_t type);

    Game& game_;
    Clock& clock_;
    Router& router_;
    TickLinks links_;
    bool firstPlayingTick_ = true;
    uint32_t lastReadyRequest_ = 0, lastStartPoll_ = 0, previousTick_ = 0;
};

} // namespace kv

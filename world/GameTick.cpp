#include "world/GameTick.h"

namespace kv {
namespace {

constexpr uint8_t kPreparation = 1, kStartBanner = 3;

bool ask(const std::function<bool()>& f) {
    return f && f();
}

void call(const std::function<void()>& f) {
    if (f)
        f();
}

} // namespace

void GameTick::run() {
    if (!game_.practiceMode && ask(links_.serverOnlyHost)) {
        call(links_.runServerConsole);
        game_.appState = AppState::Quit;
        return;
    }
    switch (game_.appState) {
    case AppState::Playing:
        playing();
        break;
    case AppState::Interlude:
        interlude();
        break;
    case AppState::Title:
        call(links_.titleTick);
        break;
    case AppState::Quit:
        break;
    }
}

void GameTick::playing() {
    uint32_t now = clock_.now();
    if (firstPlayingTick_) {
        firstPlayingTick_ = false;
        lastReadyRequest_ = lastStartPoll_ = previousTick_ = now;
    }
    if (game_.localSlot != kNoSlot && game_.inGame == 1 && game_.joined == 1) {
        if (now - game_.phaseStartTime >= kStartBannerMs && game_.matchPhase == kStartBanner) {
            game_.matchPhase = 0;
        } else if (now - lastStartPoll_ >= kStartPollMs && game_.matchPhase == kPreparation) {
            lastStartPoll_ = now;
            sendToHost(MSG_START);
        }
        call(links_.simulate);
        game_.animStep = static_cast<int32_t>((now - previousTick_) * 0.5);
        previousTick_ = now;
        for (int slot = 0; slot < kSlots; ++slot) {
            if (game_.players[slot].inUse == 1 && links_.advanceAnimation)
                links_.advanceAnimation(slot);
        }
    } else if (game_.joined == 1 && game_.inGame == 0 && now - lastReadyRequest_ > kReadyRepeatMs) {
        // Repeated until the host answers with the game data.
        lastReadyRequest_ = now;
        sendToHost(MSG_READY);
    }
}

// The ready request and the start poll carry the local slot and its state.
void GameTick::sendToHost(uint8_t type) {
    StateBody body;
    body.slot = game_.localSlot;
    if (game_.localSlot < kSlots) {
        body.state = game_.players[game_.localSlot];
        body.action = game_.actions[game_.localSlot];
    }
    router_.sendState(Direction::ToHost, type, body);
}

void GameTick::interlude() {
    if (!game_.mapReady)
        return;
    game_.mapReady = 0;
    if (!ask(links_.isHost))
        call(links_.reloadMapModels);
    game_.appState = AppState::Playing;
    call(links_.closeIme);
}

} // namespace kv

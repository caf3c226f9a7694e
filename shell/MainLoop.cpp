#include "shell/MainLoop.h"

namespace kv {

void MainLoop::start() {
    nextTick_ = lastFpsSample_ = clock_.now();
    skippedDraws_ = framesCounted_ = 0;
    game_.windowActive = 1;
    quitPosted_ = false;
}

void MainLoop::setActive(bool active) {
    if (!active) {
        game_.windowActive = 0;
    } else if (game_.windowActive == 0) {
        game_.windowActive = 1;
        nextTick_ = clock_.now();
    }
}

int MainLoop::run() {
    start();
    while (pass()) {
    }
    return 0;
}

// The order of a pass: window events, editor wait, input, network, fixed tick, frame.
bool MainLoop::pass() {
    if (quitPosted_ || !steps_.handleEvents())
        return false;

    if (editorRunning_ != 0 && game_.windowActive == 1 && steps_.editorWindowOpen())
        return true;

    // Quit takes effect on the next pass, after this one has finished its input and network.
    if (game_.appState == AppState::Quit)
        quitPosted_ = true;

    steps_.controlView();
    steps_.pollNetwork();

    uint32_t now = clock_.now();
    if (timeAfter(nextTick_, now)) {
        clock_.sleepMs(1);
        return true;
    }
    if (game_.appState == AppState::Quit)
        return true;

    steps_.tick();
    nextTick_ += kTickMs;

    bool behind = !timeAfter(nextTick_, now) && skippedDraws_ < kMaxSkippedDraws;
    if (behind || game_.appState == AppState::Quit || !steps_.drawsFrames()) {
        ++skippedDraws_;
        return true;
    }
    skippedDraws_ = 0;
    ++framesCounted_;

    if (now - lastFpsSample_ >= kSampleMs) {
        steps_.sampleSecond();
        lastFpsSample_ = now;
        game_.fps = framesCounted_;
        for (int i = 0; i < kSlots; ++i)
            game_.pingShown[i] = game_.players[i].ping;
        framesCounted_ = 0;
    }

    if (game_.windowActive != 0 || editorRunning_ != 0)
        steps_.drawFrame();
    return true;
}

} // namespace kv

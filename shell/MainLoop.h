#pragma once
#include "platform/Clock.h"
#include "shell/GameState.h"

#include <cstdint>

namespace kv {

// What one pass of the main loop runs; the application context supplies it, tests count it.
class LoopSteps {
public:
    virtual ~LoopSteps() = default;
    // Handles every waiting window event; false once the program has been asked to end.
    virtual bool handleEvents() = 0;
    // An editor started from the title menu still has its window open.
    virtual bool editorWindowOpen() = 0;
    // Local view control; runs on every pass, not per tick.
    virtual void controlView() = 0;
    // Host match tick and client state report (nothing at the title or in practice).
    virtual void pollNetwork() = 0;
    // One fixed tick: the host's slot tick, then the game tick by application state.
    virtual void tick() = 0;
    virtual void drawFrame() = 0;
    // Once a second, before the FPS figure is taken: refresh the local ping.
    virtual void sampleSecond() = 0;
    // A server-only host never draws.
    virtual bool drawsFrames() = 0;
};

constexpr uint32_t kTickMs = 16;
constexpr int kMaxSkippedDraws = 60;
constexpr uint32_t kSampleMs = 1000;

// The fixed-step heartbeat: ticks every 16 ms of game time; draws when caught up, and at
// least once every 61 ticks when behind. Lateness never resets the clock; only
// re-activation of the window does.
class MainLoop {
public:
    MainLoop(Clock& clock, Game& game, LoopSteps& steps)
        : clock_(clock), game_(game), steps_(steps) {}

    // Runs passes until the program is asked to end; the exit code.
    int run();
    // One pass; false when the loop is to end.
    bool pass();
    // Sets the time of the first tick and marks the window active.
    void start();

    // Window focus: losing it stops drawing; regaining it restarts the tick clock at now so
    // that no burst of catch-up ticks follows.
    void setActive(bool active);

    // A modal dialog run inside a tick has held the loop: the tick clock restarts at now, as
    // when the window is activated again once the dialog is gone.
    void resumeAfterDialog() { nextTick_ = clock_.now(); }

    // 0 none, 1 オプション, 2 Tessaro started from the title menu.
    void setEditorRunning(uint8_t editor) { editorRunning_ = editor; }
    uint8_t editorRunning() const { return editorRunning_; }

private:
    Clock& clock_;
    Game& game_;
    LoopSteps& steps_;
    uint32_t nextTick_ = 0;
    int skippedDraws_ = 0;
    int framesCounted_ = 0;
    uint32_t lastFpsSample_ = 0;
    uint8_t editorRunning_ = 0;
    bool quitPosted_ = false;
};

} // namespace kv

#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "shell/GameState.h"
#include "shell/LoadingSteps.h"

namespace kv {

// What the loading dialog asks of the session and the title screen; unset calls do nothing
// (a game without a session is never host and never server-only).
struct LoadingLinks {
    std::function<bool()> isHost;
    std::function<bool()> serverOnly;
    std::function<void()> closeServer;
    std::function<void()> sendJoinRequest; // game message 10
    std::function<void()> sendSyncRequest; // game message 20
    std::function<void()> backToTitle;     // the title screen's back-from-dialog flag
};

// The "GAMEINITLOAD" dialog without its window: runs the stage named by Game::loadStage one
// piece per timer tick, keeps the progress and elapsed time, asks before cancelling, waits for
// the host, and survives between runs so that a cancelled run continues where it stopped.
class LoadingSequence {
public:
    enum class Result { Running, Done, Cancelled };

    // `missing` is the message the stages prepare when a file cannot be loaded.
    LoadingSequence(Game& game, Clock& clock, MessageBoxes& boxes, MissingFileMessage& missing,
                    std::array<LoadStage, 3> stages, LoadingLinks links);

    // The dialog opens (starts a run, or resumes the one that was left).
    void open();
    // One timer tick.
    void tick();
    // The cancel button: asks, and gives up loading on Yes.
    void cancel();

    Result result() const { return result_; }
    bool timerRunning() const { return timerRunning_; }
    unsigned timerMs() const;
    // Position of the progress bar, 0 to 1000.
    int progress() const;
    // "%d秒" with the whole seconds since the run started (CP932), as the last tick wrote it.
    const std::string& elapsedText() const { return elapsed_; }
    // The text under the bar (CP932).
    std::string text() const;

    // Run state that survives between runs of the dialog.
    bool started() const { return loadStarted_; }
    int stepIndex() const { return stepIndex_; }
    int subProgress() const { return subProgress_; }

private:
    const LoadStage* stage() const;
    int lastStep() const;
    void runStep();
    void handleWaiting();
    void close(Result r);
    void afterMessage();
    bool call(const std::function<bool()>& f) const { return f && f(); }

    Game& game_;
    Clock& clock_;
    MessageBoxes& boxes_;
    std::array<LoadStage, 3> stages_;
    LoadingLinks links_;
    MissingFileMessage& missing_;
    std::array<LoadStepRunner, 3> runners_;

    bool loadStarted_ = false;
    bool loadAborted_ = false;
    int stepIndex_ = 0;
    int subProgress_ = 0;
    uint32_t loadStartTime_ = 0;
    uint32_t lastRequestTime_ = 0;
    bool waitStarted_ = false;
    bool timerRunning_ = false;
    Result result_ = Result::Running;
    std::string elapsed_;
};

} // namespace kv

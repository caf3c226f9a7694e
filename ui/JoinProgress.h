#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "net/Session.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "shell/GameState.h"

namespace kv {

// What joining a game drives: the client session, the loading dialog and the host's own
// session when hosting. Unset calls succeed and do nothing.
struct JoinLinks {
    std::function<bool()> clientExists;
    std::function<bool()> open;       // the client made and connected, the host list shown
    std::function<bool()> connect;    // a client that exists connects again
    std::function<bool()> runLoading; // the stage in Game::loadStage; false: cancelled
    std::function<void()> sendJoin;   // game message 10
    std::function<void()> sendEnter;  // game message 30 with Game::localSlot
    std::function<void()> connectVoice;
    std::function<void()> closeClient;
    std::function<void()> closeHost;
    std::function<void(bool hidden)> showDialog;
};

// "NETWORKLOAD" without its window: a timer ticks every 10 ms; one second after opening the
// join runs through its steps (connect, program-start loading, join request and map loading,
// enter). Cancel asks first.
class JoinProgress {
public:
    static constexpr uint32_t kTickMs = 10;

    JoinProgress(Game& game, Session& session, Clock& clock, MessageBoxes& boxes, JoinLinks links);

    // "セッション検索中..." or, for the hosting program's own player, "セッション参加中..."
    // (CP932).
    const std::string& text() const { return text_; }
    // "(%d秒)" as the last tick wrote it (CP932).
    const std::string& elapsed() const { return elapsed_; }
    bool timerRunning() const { return timerRunning_; }
    bool busy() const { return busy_; }

    // The window hides while the loading dialog shows.
    void setShowDialog(std::function<void(bool hidden)> f) { links_.showDialog = std::move(f); }

    void tick();
    void cancel();
    // Set once the dialog is to close: true when the player is in the game.
    std::optional<bool> result() const { return result_; }

private:
    void join();
    void finish(bool ok);
    bool call(const std::function<bool()>& f) { return !f || f(); }
    void call(const std::function<void()>& f) {
        if (f)
            f();
    }

    Game& game_;
    Session& session_;
    Clock& clock_;
    MessageBoxes& boxes_;
    JoinLinks links_;
    uint32_t openedAt_;
    std::string text_, elapsed_;
    bool busy_ = false;
    bool timerRunning_ = true;
    std::optional<bool> result_;
};

} // namespace kv

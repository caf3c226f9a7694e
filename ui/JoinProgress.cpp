#include "ui/JoinProgress.h"

#include "platform/Text.h"

namespace kv {

JoinProgress::JoinProgress(Game& game, Session& session, Clock& clock, MessageBoxes& boxes,
                           JoinLinks links)
    : game_(game), session_(session), clock_(clock), boxes_(boxes), links_(std::move(links)),
      openedAt_(clock.now()),
      text_(sjis(session.isHost ? "セッション参加中..." : "セッション検索中...")) {}

void JoinProgress::tick() {
    if (!timerRunning_ || result_)
        return;
    uint32_t ms = clock_.now() - openedAt_;
    elapsed_ = "(" + std::to_string(ms / 1000) + sjis("秒)");
    if (ms >= 1000 && !busy_)
        join();
}

void JoinProgress::finish(bool ok) {
    timerRunning_ = false;
    result_ = ok;
}

void JoinProgress::join() {
    busy_ = true;
    bool exists = links_.clientExists && links_.clientExists();
    bool connected = exists ? call(links_.connect) : call(links_.open);
    if (!connected) {
        busy_ = false;
        finish(false);
        return;
    }
    if (links_.showDialog)
        links_.showDialog(true);
    timerRunning_ = false;

    if (session_.serverOnly != 1) {
        game_.loadStage = 1;
        game_.syncDone = 1;
        if (!call(links_.runLoading)) {
            busy_ = false;
            call(links_.closeClient);
            finish(false);
            return;
        }
    }
    call(links_.sendJoin);
    game_.loadStage = 2;
    game_.syncDone = 0;
    if (!call(links_.runLoading)) {
        call(links_.closeClient);
        finish(false);
        return;
    }
    game_.joined = 1;
    if (game_.appState != AppState::Quit && session_.voiceJoin)
        call(links_.connectVoice);
    call(links_.sendEnter);
    finish(true);
}

void JoinProgress::cancel() {
    if (result_)
        return;
    bool wasBusy = busy_;
    busy_ = true;
    MsgResult answer = boxes_.show(sjis("警告"), sjis("ゲームを終了しますか？"), MsgButtons::YesNo);
    busy_ = wasBusy;
    if (answer != MsgResult::Yes)
        return;
    if (session_.isHost == 1)
        call(links_.closeHost);
    finish(false);
}

} // namespace kv

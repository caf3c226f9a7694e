#include "shell/LoadingSequence.h"

#include <algorithm>
#include <cstdio>

#include "platform/Text.h"

namespace kv {

namespace {
constexpr uint32_t kHostTimeoutMs = 10000;
constexpr uint32_t kRequestRepeatMs = 3000;
constexpr uint8_t kMapStage = 2;
} // namespace

LoadingSequence::LoadingSequence(Game& game, Clock& clock, MessageBoxes& boxes,
                                 MissingFileMessage& missing, std::array<LoadStage, 3> stages,
                                 LoadingLinks links)
    : game_(game), clock_(clock), boxes_(boxes), stages_(std::move(stages)),
      links_(std::move(links)), missing_(missing) {}

const LoadStage* LoadingSequence::stage() const {
    return game_.loadStage < stages_.size() ? &stages_[game_.loadStage] : nullptr;
}

int LoadingSequence::lastStep() const {
    const LoadStage* s = stage();
    return s ? static_cast<int>(s->steps.size()) - 1 : -1;
}

unsigned LoadingSequence::timerMs() const {
    const LoadStage* s = stage();
    return s ? s->timerMs : 1;
}

int LoadingSequence::progress() const {
    const LoadStage* s = stage();
    int total = s && s->progressTotal ? s->progressTotal() : 0;
    if (total <= 0)
        return 0;
    return std::clamp(static_cast<int>(int64_t{subProgress_} * 1000 / total), 0, 1000);
}

std::string LoadingSequence::text() const {
    return fromField(game_.loadText, sizeof game_.loadText);
}

void LoadingSequence::open() {
    result_ = Result::Running;
    loadAborted_ = false;
    if (!loadStarted_) {
        stepIndex_ = 0;
        subProgress_ = 0;
        loadStartTime_ = clock_.now();
        waitStarted_ = false;
        loadStarted_ = true;
    }
    elapsed_ = sjis("0秒");
    timerRunning_ = true;
    afterMessage();
}

void LoadingSequence::cancel() {
    if (result_ != Result::Running)
        return;
    timerRunning_ = false;
    loadAborted_ = true;
    if (boxes_.show(sjis("警告"), sjis("ロードを中止して戻りますか？"), MsgButtons::YesNo) ==
        MsgResult::Yes) {
        if (call(links_.isHost) && links_.closeServer)
            links_.closeServer();
        if (links_.backToTitle)
            links_.backToTitle();
        result_ = Result::Cancelled;
    } else {
        loadAborted_ = false;
        timerRunning_ = true;
    }
    afterMessage();
}

void LoadingSequence::tick() {
    if (result_ != Result::Running || !timerRunning_)
        return;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%u", (clock_.now() - loadStartTime_) / 1000);
    elapsed_ = buf + sjis("秒");

    if (!loadAborted_) {
        if (stepIndex_ <= lastStep())
            runStep();
        else if (stepIndex_ == lastStep() + 1) {
            ++stepIndex_;
            close(Result::Done);
        }
    }
    afterMessage();
}

void LoadingSequence::runStep() {
    // A finished stage is skipped, except the map stage: each game is on the map chosen for it,
    // and the collision and start points must be that map's, not the previous game's.
    if (game_.loadStage != kMapStage && game_.loadDone[game_.loadStage]) {
        stepIndex_ = lastStep() + 1;
        return;
    }
    std::string text = fromField(game_.loadText, sizeof game_.loadText);
    int r = runners_[game_.loadStage].call(*stage(), stepIndex_, text, missing_);
    copyToField(game_.loadText, sizeof game_.loadText, text);

    if (r == kLoadFailed) {
        loadAborted_ = true;
        missing_.show(boxes_);
        game_.appState = AppState::Quit;
    } else if (r == kLoadWaiting) {
        handleWaiting();
    } else if (r == kLoadStepDone) {
        ++stepIndex_;
        // A dedicated host loads nothing after step 4 (no voices in stage 1).
        if (stepIndex_ == 5 && call(links_.serverOnly))
            stepIndex_ = lastStep() + 1;
    }
    if (game_.practiceMode == 1 || game_.syncDone == 1 || call(links_.serverOnly))
        ++subProgress_;
}

void LoadingSequence::handleWaiting() {
    uint32_t now = clock_.now();
    if (!waitStarted_) {
        waitStarted_ = true;
        lastRequestTime_ = now;
    }
    if (now - loadStartTime_ >= kHostTimeoutMs) {
        loadAborted_ = true;
        timerRunning_ = false;
        boxes_.show(sjis("警告"), sjis("サーバーから応答がありません。"));
        if (call(links_.isHost) && links_.closeServer)
            links_.closeServer();
        result_ = Result::Cancelled;
        return;
    }
    if (now - lastRequestTime_ >= kRequestRepeatMs) {
        auto& send = game_.localSlot == kNoSlot ? links_.sendJoinRequest : links_.sendSyncRequest;
        if (send)
            send();
        lastRequestTime_ = now;
    }
}

void LoadingSequence::close(Result r) {
    timerRunning_ = false;
    if (r == Result::Done)
        loadStarted_ = false;
    result_ = r;
}

void LoadingSequence::afterMessage() {
    // A failure anywhere ends the dialog normally; the caller sees Quit.
    if (result_ == Result::Running && game_.appState == AppState::Quit)
        close(Result::Done);
}

} // namespace kv

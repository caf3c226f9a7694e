#include "shell/LoadingDialog.h"

#include <imgui.h>

#include <cfloat>

#include "platform/Text.h"

namespace kv {

namespace {

constexpr int kLoadTimer = 1;
constexpr uint32_t kTickBudgetMs = 12;

class LoadingWindow final : public Dialog {
public:
    LoadingWindow(LoadingSequence& s, Clock& clock) : s_(s), clock_(clock) {}

    void draw() override {
        const ImGuiViewport* vp = ImGui::GetMainViewport();
        ImGui::SetNextWindowPos(vp->GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
        ImGui::SetNextWindowSizeConstraints(ImVec2(420, 0), ImVec2(420, FLT_MAX));
        ImGui::Begin("Kestrava###GAMEINITLOAD", nullptr,
                     ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse |
                         ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
        // The text always takes two lines so the window does not jump between files.
        std::string text = cp932ToUtf8(s_.text());
        if (text.find('\n') == std::string::npos)
            text += '\n';
        ImGui::TextUnformatted(text.c_str());
        ImGui::ProgressBar(s_.progress() / 1000.0f, ImVec2(-1, 0), "");
        ImGui::TextUnformatted(label_.c_str());
        ImGui::SameLine();
        ImGui::TextUnformatted(cp932ToUtf8(s_.elapsedText()).c_str());
        ImGui::SameLine(ImGui::GetWindowWidth() - 110);
        bool cancel = ImGui::Button(cancelText_.c_str(), ImVec2(100, 0));
        ImGui::End();
        if (cancel)
            this->cancel();
    }

    // A drawn frame costs more than a loading tick, so ticks run back to back for up to one
    // frame's time before the window is drawn again; the cancel button stays as lively.
    void timer(int id) override {
        if (id != kLoadTimer)
            return;
        uint32_t start = clock_.now();
        do
            s_.tick();
        while (s_.result() == LoadingSequence::Result::Running && s_.timerRunning() &&
               clock_.now() - start < kTickBudgetMs);
        finishIfClosed();
    }

    void event(const SDL_Event& e) override {
        if (e.type == SDL_KEYDOWN && !e.key.repeat && e.key.keysym.sym == SDLK_ESCAPE)
            cancel();
    }

    // The window's close box or a quit request asks like the cancel button.
    void closeBox() override { cancel(); }

    void finishIfClosed() {
        if (s_.result() != LoadingSequence::Result::Running)
            end(s_.result() == LoadingSequence::Result::Done ? 1 : 0);
    }

private:
    void cancel() {
        s_.cancel();
        finishIfClosed();
    }

    LoadingSequence& s_;
    Clock& clock_;
    std::string label_ = "ロード時間：";
    std::string cancelText_ = "キャンセル";
};

} // namespace

int runLoadingDialog(Gui& gui, LoadingSequence& sequence, const std::function<void()>& behind) {
    LoadingWindow dialog(sequence, gui.clock());
    sequence.open();
    dialog.finishIfClosed();
    if (dialog.ended())
        return dialog.result();
    dialog.startTimer(kLoadTimer, sequence.timerMs());
    return gui.runModal(dialog, behind);
}

} // namespace kv

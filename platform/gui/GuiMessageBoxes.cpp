#include "platform/gui/GuiMessageBoxes.h"

#include <imgui.h>

#include "platform/Text.h"

namespace kv {
namespace {

class MessageBoxDialog final : public Dialog {
public:
    MessageBoxDialog(std::string_view caption, std::string_view text, MsgButtons buttons)
        : title_(cp932ToUtf8(caption) + "###kvMessageBox"), text_(cp932ToUtf8(text)),
          buttons_(buttons) {}

    void draw() override {
        const ImGuiViewport* vp = ImGui::GetMainViewport();
        ImGui::SetNextWindowPos(vp->GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
        ImGui::SetNextWindowFocus(); // the only window of its loop: keep its title bar lit
        ImGui::SetNextWindowSizeConstraints(ImVec2(240, 0), ImVec2(vp->Size.x - 40, vp->Size.y));
        ImGui::Begin(title_.c_str(), nullptr,
                     ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse |
                         ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
        ImGui::Dummy(ImVec2(0, 6));
        ImGui::Indent(12);
        ImGui::TextUnformatted(text_.c_str());
        ImGui::Unindent(12);
        ImGui::Dummy(ImVec2(0, 10));
        const float bw = 88, gap = 10;
        const int n = buttons_ == MsgButtons::Ok ? 1 : 2;
        float total = n * bw + (n - 1) * gap;
        ImGui::SetCursorPosX((ImGui::GetWindowWidth() - total) * 0.5f);
        if (buttons_ == MsgButtons::Ok) {
            if (ImGui::Button("OK", ImVec2(bw, 0)))
                answer(MsgResult::Ok);
        } else {
            if (ImGui::Button("はい(Y)", ImVec2(bw, 0)))
                answer(MsgResult::Yes);
            ImGui::SameLine(0, gap);
            if (ImGui::Button("いいえ(N)", ImVec2(bw, 0)))
                answer(MsgResult::No);
        }
        ImGui::Dummy(ImVec2(0, 2));
        ImGui::End();
    }

    void event(const SDL_Event& e) override {
        if (e.type != SDL_KEYDOWN || e.key.repeat)
            return;
        const bool question = buttons_ == MsgButtons::YesNo;
        switch (e.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            answer(question ? MsgResult::Yes : MsgResult::Ok);
            break;
        case SDLK_ESCAPE:
            answer(question ? MsgResult::No : MsgResult::Ok);
            break;
        case SDLK_y:
            if (question)
                answer(MsgResult::Yes);
            break;
        case SDLK_n:
            if (question)
                answer(MsgResult::No);
            break;
        default:
            break;
        }
    }

    void closeBox() override {
        answer(buttons_ == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok);
    }

    MsgResult answerGiven() const { return result_; }

private:
    void answer(MsgResult r) {
        result_ = r;
        end(static_cast<int>(r));
    }

    std::string title_, text_;
    MsgButtons buttons_;
    MsgResult result_ = MsgResult::Ok;
};

} // namespace

MsgResult GuiMessageBoxes::show(std::string_view caption, std::string_view text,
                                MsgButtons buttons) {
    MessageBoxDialog box(caption, text, buttons);
    gui_.runModal(box);
    return box.answerGiven();
}

} // namespace kv

#include "platform/gui/GuiMessageBoxes.h"

#include <imgui.h>

#include <algorithm>
#include <cfloat>
#include <cstdio>

#include "platform/Text.h"
#include "platform/gui/ToolWindow.h"

namespace kv {
namespace {

class MessageBoxDialog final : public Dialog {
public:
    // filling: the box is the whole of a window of its own, whose title shows the caption.
    MessageBoxDialog(std::string_view caption, std::string_view text, MsgButtons buttons,
                     bool filling = false)
        : title_(cp932ToUtf8(caption) + "###kvMessageBox"), text_(cp932ToUtf8(text)),
          buttons_(buttons), filling_(filling) {}

    void draw() override {
        const ImGuiViewport* vp = ImGui::GetMainViewport();
        ImGuiWindowFlags flags = ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoMove |
                                 ImGuiWindowFlags_NoSavedSettings;
        if (filling_) {
            ImGui::SetNextWindowPos(ImVec2(0, 0));
            ImGui::SetNextWindowSize(vp->Size);
            flags |= ImGuiWindowFlags_NoDecoration;
        } else {
            ImGui::SetNextWindowPos(vp->GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
            ImGui::SetNextWindowSizeConstraints(ImVec2(240, 0),
                                                ImVec2(vp->Size.x - 40, vp->Size.y));
            flags |= ImGuiWindowFlags_AlwaysAutoResize;
        }
        ImGui::SetNextWindowFocus(); // the only window of its loop: keep its title bar lit
        ImGui::Begin(title_.c_str(), nullptr, flags);
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
    bool filling_;
    MsgResult result_ = MsgResult::Ok;
};

} // namespace

MsgResult GuiMessageBoxes::show(std::string_view caption, std::string_view text,
                                MsgButtons buttons) {
    MessageBoxDialog box(caption, text, buttons);
    gui_.runModal(box);
    return box.answerGiven();
}

MsgResult WindowMessageBoxes::show(std::string_view caption, std::string_view text,
                                   MsgButtons buttons) {
    if (gui_)
        return GuiMessageBoxes(*gui_).show(caption, text, buttons);

    // Before the program's window: a window just big enough for the text and the buttons.
    ToolWindow window;
    std::string title = cp932ToUtf8(caption);
    if (!window.open(title, 320, 140)) {
        std::fprintf(stderr, "[%s] %s\n", title.c_str(), cp932ToUtf8(text).c_str());
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
    }
    Gui gui(window.window(), clock_);
    const ImFont* font = ImGui::GetIO().Fonts->Fonts[0];
    std::string utf8 = cp932ToUtf8(text);
    ImVec2 size = font->CalcTextSizeA(font->FontSize, FLT_MAX, 0, utf8.c_str());
    int w = std::clamp(static_cast<int>(size.x) + 60, 320, 1000);
    int h = std::clamp(static_cast<int>(size.y) + 84, 120, 700);
    SDL_SetWindowSize(window.window(), w, h);
    SDL_SetWindowPosition(window.window(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    MessageBoxDialog box(caption, text, buttons, true);
    gui.runModal(box);
    return box.answerGiven();
}

std::unique_ptr<MessageBoxes> makeMessageBoxes(Clock& clock) {
    if (auto log = messageBoxLogFromEnvironment())
        return log;
    return std::make_unique<WindowMessageBoxes>(clock);
}

} // namespace kv

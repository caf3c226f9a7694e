#include "platform/gui/Gui.h"

#include <epoxy/gl.h>
#include <imgui.h>

#include "backends/imgui_impl_opengl3.h"
#include "backends/imgui_impl_sdl.h"
#include "platform/gui/GuiFont.h"

namespace kv {

void Dialog::startTimer(int id, uint32_t ms) {
    if (id < 0 || id >= timerSlots)
        return;
    timers_[id] = Timer{ms, 0, true, false};
}

void Dialog::stopTimer(int id) {
    if (id >= 0 && id < timerSlots)
        timers_[id].running = false;
}

void Dialog::end(int result) {
    ended_ = true;
    result_ = result;
}

namespace {

// A modal loop draws after every event and then a few more frames so that ImGui settles
// (a combo opens a frame after its click); otherwise it redraws at this interval.
constexpr uint32_t idleRedrawMs = 100;
constexpr int framesAfterInput = 3;

void applyStyle() {
    ImGui::StyleColorsLight();
    ImGuiStyle& s = ImGui::GetStyle();
    s.WindowRounding = 0;
    s.FrameRounding = 2;
    s.FrameBorderSize = 1;
    s.WindowBorderSize = 1;
    s.ItemSpacing = ImVec2(6, 4);
    s.Colors[ImGuiCol_WindowBg] = ImVec4(0.94f, 0.94f, 0.94f, 1);
    s.Colors[ImGuiCol_PopupBg] = ImVec4(1, 1, 1, 1);
    s.Colors[ImGuiCol_Button] = ImVec4(0.88f, 0.88f, 0.88f, 1);
}

// The backend takes Ctrl, Shift and Alt from SDL's modifier state of now, which is the state
// after every event already queued: a program that is behind saw Ctrl+A with Ctrl already
// released. A key event carries the modifiers of its own moment.
void feed(const SDL_Event& e) {
    ImGui_ImplSDL2_ProcessEvent(&e);
    if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) {
        ImGuiIO& io = ImGui::GetIO();
        io.KeyShift = (e.key.keysym.mod & KMOD_SHIFT) != 0;
        io.KeyCtrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
        io.KeyAlt = (e.key.keysym.mod & KMOD_ALT) != 0;
        io.KeySuper = (e.key.keysym.mod & KMOD_GUI) != 0;
    }
}

} // namespace

Gui::Gui(SDL_Window* window, Clock& clock, float fontPixels)
    : window_(window), clock_(clock), fonts_(IM_NEW(ImFontAtlas)) {
    fontLoaded_ = loadJapaneseFont(*fonts_, fontPixels, glyphRanges_);
    level(0);
}

Gui::~Gui() {
    for (size_t i = levels_.size(); i-- > 0;) {
        ImGui::SetCurrentContext(levels_[i].context);
        ImGui_ImplOpenGL3_Shutdown();
        ImGui_ImplSDL2_Shutdown();
        ImGui::DestroyContext(levels_[i].context);
        if (levels_[i].snapshot)
            glDeleteTextures(1, &levels_[i].snapshot);
    }
    IM_DELETE(fonts_);
}

Gui::Level& Gui::level(size_t depth) {
    while (levels_.size() <= depth) {
        Level lv;
        lv.context = ImGui::CreateContext(fonts_);
        ImGui::SetCurrentContext(lv.context);
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.LogFilename = nullptr;
        io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard;
        applyStyle();
        ImGui_ImplSDL2_InitForOpenGL(window_, SDL_GL_GetCurrentContext());
        ImGui_ImplOpenGL3_Init("#version 330 core");
        // Each backend uploads the shared font atlas and points it at its own texture. A level
        // made inside a frame of the one below must not change the texture that frame uses.
        const ImTextureID shared = fonts_->TexID;
        ImGui_ImplOpenGL3_CreateDeviceObjects();
        if (!levels_.empty())
            fonts_->SetTexID(shared);
        levels_.push_back(lv);
    }
    ImGui::SetCurrentContext(levels_[depth].context);
    return levels_[depth];
}

void Gui::processEvent(const SDL_Event& e) {
    ImGui::SetCurrentContext(levels_[0].context);
    feed(e);
}

void Gui::beginFrame() {
    ImGui::SetCurrentContext(levels_[depth_].context);
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    // The backend reads the pointer from SDL's global mouse state, which X11 refreshes only on
    // raw motion events; a pointer moved without them (XTEST, as xdotool does) kept the
    // position of the last click, so hover lagged a click behind and tabs, which need the
    // hover of the frame before, never switched. The window's own state follows every motion.
    if (SDL_GetMouseFocus() == window_) {
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        ImGui::GetIO().MousePos = ImVec2(static_cast<float>(x), static_cast<float>(y));
    }
    ImGui::NewFrame();
}

void Gui::endFrame() {
    present(levels_[depth_]);
}

void Gui::present(Level& lv) {
    ImGui::Render();
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    glViewport(0, 0, w, h);
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    // Keep the picture for a loop opened on top of this one.
    if (!lv.snapshot)
        glGenTextures(1, &lv.snapshot);
    GLint oldTex = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &oldTex);
    glBindTexture(GL_TEXTURE_2D, lv.snapshot);
    if (lv.snapW != w || lv.snapH != h) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        lv.snapW = w;
        lv.snapH = h;
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, w, h);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(oldTex));
    SDL_GL_SwapWindow(window_);
}

void Gui::followTextInput() {
    const bool want = ImGui::GetIO().WantTextInput;
    if (want != (SDL_IsTextInputActive() == SDL_TRUE)) {
        if (want)
            SDL_StartTextInput();
        else
            SDL_StopTextInput();
    }
}

void Gui::drawSnapshot(const Level& lv) {
    ImDrawList* dl = ImGui::GetBackgroundDrawList();
    ImVec2 size(static_cast<float>(lv.snapW), static_cast<float>(lv.snapH));
    dl->AddImage(reinterpret_cast<ImTextureID>(static_cast<intptr_t>(lv.snapshot)), ImVec2(0, 0),
                 size, ImVec2(0, 1), ImVec2(1, 0));
    dl->AddRectFilled(ImVec2(0, 0), size, IM_COL32(0, 0, 0, 40));
}

int Gui::runModal(Dialog& dialog, const std::function<void()>& behind) {
    const size_t below = depth_;
    depth_ = below + 1;
    Level& lv = level(depth_);
    dialog.ended_ = false;
    int pendingFrames = framesAfterInput;
    bool closeSeen = false;
    uint32_t lastFrame = clock_.now() - idleRedrawMs;
    // The game keeps SDL's text input off outside its chat line, and this ImGui's backend never
    // turns it on: a field being typed in gets it, and the loop below gets back its own state.
    const bool textInputBefore = SDL_IsTextInputActive() == SDL_TRUE;

    while (!dialog.ended_) {
        // A program asked to end (SIGTERM, or its last window closed) ends every dialog, the
        // ones opened meanwhile too, whatever they would rather do on a close.
        if (quitting_) {
            if (!closeSeen)
                dialog.closeBox();
            if (!dialog.ended_)
                dialog.end(0);
            break;
        }
        // Wait for an event, a due timer or the idle redraw, whichever comes first.
        uint32_t now = clock_.now();
        int32_t waitMs =
            pendingFrames > 0 ? 0 : static_cast<int32_t>(lastFrame + idleRedrawMs - now);
        for (auto& t : dialog.timers_) {
            if (t.running && !t.armed) {
                t.due = now + t.interval;
                t.armed = true;
            }
            if (t.running)
                waitMs = std::min(waitMs, static_cast<int32_t>(t.due - now));
        }
        SDL_Event e;
        bool pressed = false;
        bool got = SDL_WaitEventTimeout(&e, std::max<int32_t>(waitMs, 0) > 0 ? waitMs : 1) != 0;
        while (got) {
            ImGui::SetCurrentContext(lv.context);
            dialog.event(e);
            feed(e);
            // Closing the last window also queues a quit; one close box is one call.
            if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) {
                closeSeen = true;
                dialog.closeBox();
            } else if (e.type == SDL_QUIT) {
                quitting_ = true;
            }
            pendingFrames = framesAfterInput;
            // ImGui reads key and button states once a frame: a release queued behind its
            // press waits for the next frame, or the press would go unseen.
            if (e.type == SDL_KEYDOWN || e.type == SDL_MOUSEBUTTONDOWN)
                pressed = true;
            SDL_Event next;
            if (pressed &&
                SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
                (next.type == SDL_KEYUP || next.type == SDL_MOUSEBUTTONUP))
                break;
            got = SDL_PollEvent(&e) != 0;
        }
        if (quitting_)
            continue;
        now = clock_.now();
        for (int id = 0; id < Dialog::timerSlots && !dialog.ended_; ++id) {
            auto& t = dialog.timers_[id];
            if (t.running && t.armed && !timeAfter(t.due, now)) {
                t.due = now + t.interval;
                dialog.timer(id);
                pendingFrames = std::max(pendingFrames, 1);
            }
        }
        if (dialog.ended_)
            break;
        if (pendingFrames <= 0 && timeAfter(lastFrame + idleRedrawMs, clock_.now()))
            continue;

        beginFrame();
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(window_, &w, &h);
        glViewport(0, 0, w, h);
        glClearColor(0.94f, 0.94f, 0.94f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (behind)
            behind();
        else if (below > 0 && levels_[below].snapW > 0)
            drawSnapshot(levels_[below]);
        else if (backdrop_)
            backdrop_();
        dialog.draw();
        present(lv);
        followTextInput();
        lastFrame = clock_.now();
        if (pendingFrames > 0)
            --pendingFrames;
    }

    // The quit request goes on to the loop below, and at last to the program's own loop.
    if (quitting_) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    if (textInputBefore)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
    // Keys held when this loop ended must not stay pressed in the loop below.
    depth_ = below;
    ImGui::SetCurrentContext(levels_[below].context);
    ImGuiIO& io = ImGui::GetIO();
    for (bool& k : io.KeysDown)
        k = false;
    io.KeyCtrl = io.KeyShift = io.KeyAlt = io.KeySuper = false;
    return dialog.result_;
}

} // namespace kv

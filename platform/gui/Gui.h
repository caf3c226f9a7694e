#pragma once
#include <SDL.h>
#include <imgui.h>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>

#include "platform/Clock.h"

namespace kv {

// One modal dialog run by Gui::runModal. draw() issues the ImGui calls of one frame and the
// dialog ends itself with end(result). Timers are checked by the loop that runs it.
class Dialog {
public:
    virtual ~Dialog() = default;
    virtual void draw() = 0;
    virtual void timer(int /*id*/) {}
    virtual void event(const SDL_Event& /*e*/) {} // every event, before ImGui sees it
    virtual void closeBox() { end(0); }           // the window's close box or a quit request

    static constexpr int timerSlots = 8;
    void startTimer(int id, uint32_t ms); // restarts a running one
    void stopTimer(int id);
    void end(int result);
    bool ended() const { return ended_; }
    int result() const { return result_; }

private:
    friend class Gui;
    struct Timer {
        uint32_t interval = 0, due = 0;
        bool running = false, armed = false;
    };
    std::array<Timer, timerSlots> timers_{};
    bool ended_ = false;
    int result_ = 0;
};

// Dear ImGui on an SDL window whose GL 3.3 core context is current, with the Japanese font.
// Every nested modal loop gets its own ImGui context (sharing the font), so a dialog may open
// a message box from inside its draw() and carry on with the answer.
class Gui {
public:
    Gui(SDL_Window* window, Clock& clock, float fontPixels = 16.0f);
    ~Gui();
    Gui(const Gui&) = delete;
    Gui& operator=(const Gui&) = delete;

    // For a program that runs its own loop: feed events, then frame by frame.
    void processEvent(const SDL_Event& e);
    void beginFrame();
    void endFrame(); // draws the frame's ImGui windows over what the caller drew, presents

    // Runs the dialog in its own loop until it ends and returns its result. A quit request
    // (SDL_QUIT: SIGTERM or the last window closed) ends it through closeBox(), or with 0 when
    // that keeps it open, ends every dialog opened later at once, and is queued again for the
    // loop below. behind draws
    // (with GL) what lies behind each frame; without it a nested loop shows the last picture
    // of the loop below, and the outer loop calls the backdrop (or clears).
    int runModal(Dialog& dialog, const std::function<void()>& behind = {});
    void setBackdrop(std::function<void()> behind) { backdrop_ = std::move(behind); }

    SDL_Window* window() const { return window_; }
    Clock& clock() { return clock_; }
    bool fontLoaded() const { return fontLoaded_; }
    bool quitting() const { return quitting_; }

private:
    struct Level {
        ImGuiContext* context = nullptr;
        unsigned snapshot = 0; // the level's last presented picture, a GL texture
        int snapW = 0, snapH = 0;
    };
    Level& level(size_t depth);
    void present(Level& lv);
    void drawSnapshot(const Level& lv);
    // SDL's text input on exactly while an ImGui text field is being typed in.
    void followTextInput();

    SDL_Window* window_;
    Clock& clock_;
    ImVector<ImWchar> glyphRanges_;
    ImFontAtlas* fonts_;
    bool fontLoaded_ = false;
    std::deque<Level> levels_; // a deque: loops below keep references to their level
    size_t depth_ = 0;         // levels in use; levels_[depth_ - 1] is current
    bool quitting_ = false;
    std::function<void()> backdrop_;
};

} // namespace kv

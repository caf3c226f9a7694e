#pragma once
#include <SDL.h>

#include <string>

namespace kv {

// A plain fixed-size window with a GL 3.3 core context for the tool programs (the editors,
// test drivers). The context is current after open().
class ToolWindow {
public:
    ToolWindow() = default;
    ~ToolWindow();
    ToolWindow(const ToolWindow&) = delete;
    ToolWindow& operator=(const ToolWindow&) = delete;

    bool open(const std::string& utf8Title, int width, int height);
    SDL_Window* window() const { return window_; }
    const std::string& error() const { return error_; }

private:
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    bool videoUp_ = false;
    std::string error_;
};

} // namespace kv

#pragma once
#include <string>

struct SDL_Window;

namespace kv {

struct ScreenMode {
    int width = 0, height = 0, bits = 0;
};

// The game's one window with its OpenGL 3.3 core context, and the display-mode switch.
// The game switches the display to the configured mode (an SDL full-screen mode change)
// and gets the desktop back when the window closes or restoreDisplayMode() runs.
class Window {
public:
    struct Options {
        std::string title = "Kestrava"; // UTF-8
        int width = 1024, height = 768;
        bool hidden = false;    // no visible window: tests and tools that only draw offscreen
        bool resizable = false; // the editors' dialog windows
        bool software = false;  // accept a visual without hardware acceleration
    };

    Window();
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The desktop's current mode, kept for restoreDisplayMode(). False when SDL cannot tell.
    bool recordDesktopMode();
    const ScreenMode& desktopMode() const { return desktop_; }

    // Looks for the first mode of the display with this width, height and depth and makes
    // it the window's full-screen mode (applied at open() when no window exists yet).
    // False when a recorded desktop value is 0, no mode matches, or SDL refuses the change.
    bool switchDisplayMode(int width, int height, int bits);
    void restoreDisplayMode();

    // Creates the window and its GL context and makes the context current. The error text
    // (SDL's) is kept in error().
    bool open(const Options& options);
    bool isOpen() const { return window_ != nullptr; }
    const Options& options() const { return options_; } // of the last open()
    void close();

    void swap();
    void makeCurrent();
    // Drawable size in pixels.
    int width() const;
    int height() const;

    SDL_Window* sdlWindow() const { return window_; }
    void* glContext() const { return context_; }
    const std::string& error() const { return error_; }

private:
    bool applyFullscreen();

    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    bool videoUp_ = false;
    ScreenMode desktop_;
    bool modeChosen_ = false;
    int chosenIndex_ = -1;
    std::string error_;
    Options options_;
};

// Depth of an SDL pixel format as the options name it: 32 for formats stored in 4 bytes
// (X8R8G8B8 is what a 32-bit desktop is), else SDL's bits per pixel.
int displayBits(unsigned sdlPixelFormat);

} // namespace kv

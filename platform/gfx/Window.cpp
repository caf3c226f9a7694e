#include "platform/gfx/Window.h"

#include <SDL.h>

namespace kv {

int displayBits(unsigned sdlPixelFormat) {
    if (SDL_BYTESPERPIXEL(sdlPixelFormat) == 4)
        return 32;
    return SDL_BITSPERPIXEL(sdlPixelFormat);
}

Window::Window() {
    videoUp_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!videoUp_)
        error_ = SDL_GetError();
}

Window::~Window() {
    close();
    if (videoUp_)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

namespace {

// The display's modes as SDL read them: at least one, every one with a size.
bool modesReadable() {
    int n = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < n; ++i) {
        SDL_DisplayMode m{};
        if (SDL_GetDisplayMode(0, i, &m) != 0 || m.w <= 0 || m.h <= 0)
            return false;
    }
    return n > 0;
}

} // namespace

bool Window::recordDesktopMode() {
    desktop_ = {};
    SDL_DisplayMode m{};
    // Asked for its outputs, X probes them again; a program reading them meanwhile (two
    // programs starting together) is told of a passing state, a mode of size 0 and a desktop
    // that does not exist, and SDL keeps what it read. Such a reading is taken again.
    for (int reading = 0; videoUp_ && reading < 5; ++reading) {
        if (reading > 0) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            SDL_Delay(static_cast<Uint32>(20 * reading));
            videoUp_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        }
        if (videoUp_ && SDL_GetDesktopDisplayMode(0, &m) == 0 && m.w > 0 && m.h > 0 &&
            modesReadable()) {
            desktop_ = {m.w, m.h, displayBits(m.format)};
            return true;
        }
    }
    error_ = std::string("no readable display modes: ") + SDL_GetError();
    return false;
}

bool Window::switchDisplayMode(int width, int height, int bits) {
    if (desktop_.width == 0 || desktop_.height == 0 || desktop_.bits == 0 || !videoUp_)
        return false;
    int n = SDL_GetNumDisplayModes(0);
    std::string modes;
    for (int i = 0; i < n; ++i) {
        SDL_DisplayMode m{};
        if (SDL_GetDisplayMode(0, i, &m) != 0) {
            error_ = SDL_GetError();
            return false;
        }
        modes += " " + std::to_string(m.w) + "x" + std::to_string(m.h) + "x" +
                 std::to_string(displayBits(m.format));
        if (m.w == width && m.h == height && displayBits(m.format) == bits) {
            modeChosen_ = true;
            chosenIndex_ = i;
            // The first match decides: a refused change is not retried with other modes.
            return window_ ? applyFullscreen() : true;
        }
    }
    error_ = "no mode " + std::to_string(width) + "x" + std::to_string(height) + "x" +
             std::to_string(bits) + " among " + std::to_string(n) + ":" + modes;
    return false;
}

bool Window::applyFullscreen() {
    SDL_DisplayMode m{};
    if (SDL_GetDisplayMode(0, chosenIndex_, &m) != 0 ||
        SDL_SetWindowDisplayMode(window_, &m) != 0 ||
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0) {
        error_ = SDL_GetError();
        return false;
    }
    return true;
}

void Window::restoreDisplayMode() {
    if (window_ && modeChosen_)
        SDL_SetWindowFullscreen(window_, 0);
    modeChosen_ = false;
}

bool Window::open(const Options& options) {
    close();
    options_ = options;
    if (!videoUp_)
        return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    Uint32 flags = SDL_WINDOW_OPENGL;
    if (options.hidden)
        flags |= SDL_WINDOW_HIDDEN;
    if (options.resizable)
        flags |= SDL_WINDOW_RESIZABLE;
    SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, options.software ? 0 : 1);
    // The deepest depth buffer the visual offers: 24 bits with stencil, else 16.
    struct Visual {
        int depth, stencil, alpha;
    };
    for (Visual v : {Visual{24, 8, 8}, Visual{24, 8, 0}, Visual{16, 0, 0}}) {
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, v.depth);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, v.stencil);
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, v.alpha);
        window_ = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                   SDL_WINDOWPOS_CENTERED, options.width, options.height, flags);
        if (window_)
            break;
    }
    if (!window_) {
        error_ = SDL_GetError();
        return false;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (!context_) {
        error_ = SDL_GetError();
        SDL_DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }
    SDL_GL_MakeCurrent(window_, context_);
    SDL_GL_SetSwapInterval(0);
    if (modeChosen_ && !applyFullscreen()) {
        close();
        return false;
    }
    return true;
}

void Window::close() {
    if (!window_)
        return;
    restoreDisplayMode();
    if (context_)
        SDL_GL_DeleteContext(context_);
    context_ = nullptr;
    SDL_DestroyWindow(window_);
    window_ = nullptr;
}

void Window::swap() {
    if (window_)
        SDL_GL_SwapWindow(window_);
}

void Window::makeCurrent() {
    if (window_)
        SDL_GL_MakeCurrent(window_, context_);
}

int Window::width() const {
    int w = 0, h = 0;
    if (window_)
        SDL_GL_GetDrawableSize(window_, &w, &h);
    return w;
}

int Window::height() const {
    int w = 0, h = 0;
    if (window_)
        SDL_GL_GetDrawableSize(window_, &w, &h);
    return h;
}

} // namespace kv

#include "platform/gui/ToolWindow.h"

namespace kv {

ToolWindow::~ToolWindow() {
    if (context_)
        SDL_GL_DeleteContext(context_);
    if (window_)
        SDL_DestroyWindow(window_);
    if (videoUp_)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool ToolWindow::open(const std::string& utf8Title, int width, int height) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error_ = SDL_GetError();
        return false;
    }
    videoUp_ = true;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    window_ = SDL_CreateWindow(utf8Title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (!window_) {
        error_ = SDL_GetError();
        return false;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (!context_) {
        error_ = SDL_GetError();
        return false;
    }
    SDL_GL_MakeCurrent(window_, context_);
    SDL_GL_SetSwapInterval(0);
    return true;
}

} // namespace kv

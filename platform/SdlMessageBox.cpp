#include "platform/SdlMessageBox.h"

#include "platform/Text.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

namespace kv {

MsgResult SdlMessageBoxes::show(std::string_view caption, std::string_view text,
                                MsgButtons buttons) {
    std::string title = cp932ToUtf8(caption);
    std::string message = cp932ToUtf8(text);
    if (buttons == MsgButtons::Ok) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), message.c_str(),
                                 parent_);
        return MsgResult::Ok;
    }
    // SDL lays buttons out right to left; listed No first so that Yes comes first on screen.
    const SDL_MessageBoxButtonData choices[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, static_cast<int>(MsgResult::No), "いいえ"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, static_cast<int>(MsgResult::Yes), "はい"},
    };
    SDL_MessageBoxData box{
        SDL_MESSAGEBOX_INFORMATION, parent_, title.c_str(), message.c_str(), 2, choices, nullptr};
    int pressed = static_cast<int>(MsgResult::No);
    if (SDL_ShowMessageBox(&box, &pressed) != 0)
        return MsgResult::No;
    return pressed == static_cast<int>(MsgResult::Yes) ? MsgResult::Yes : MsgResult::No;
}

MsgResult LogMessageBoxes::show(std::string_view caption, std::string_view text,
                                MsgButtons buttons) {
    if (std::FILE* f = std::fopen(path_.c_str(), "a")) {
        std::fprintf(f, "[%s] %s\n\n", cp932ToUtf8(caption).c_str(), cp932ToUtf8(text).c_str());
        std::fclose(f);
    }
    return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
}

std::unique_ptr<MessageBoxes> makeMessageBoxes(SDL_Window* parent) {
    const char* log = std::getenv("KV_MESSAGEBOX_LOG");
    if (log && *log)
        return std::make_unique<LogMessageBoxes>(log);
    auto boxes = std::make_unique<SdlMessageBoxes>();
    boxes->setParent(parent);
    return boxes;
}

} // namespace kv

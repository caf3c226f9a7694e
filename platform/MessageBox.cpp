#include "platform/MessageBox.h"

#include "platform/Text.h"

#include <cstdio>
#include <cstdlib>

namespace kv {

MsgResult LogMessageBoxes::show(std::string_view caption, std::string_view text,
                                MsgButtons buttons) {
    if (std::FILE* f = std::fopen(path_.c_str(), "a")) {
        std::fprintf(f, "[%s] %s\n\n", cp932ToUtf8(caption).c_str(), cp932ToUtf8(text).c_str());
        std::fclose(f);
    }
    return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
}

std::unique_ptr<MessageBoxes> messageBoxLogFromEnvironment() {
    const char* log = std::getenv("KV_MESSAGEBOX_LOG");
    if (log && *log)
        return std::make_unique<LogMessageBoxes>(log);
    return nullptr;
}

} // namespace kv

#include "shell/App.h"

#include <memory>

int main() {
    auto app = std::make_unique<kv::App>();
    return app->run();
}

#include "shell/StateLog.h"

#include <cstdio>
#include <cstdlib>

namespace kv {

namespace {
constexpr uint32_t kPlacesEveryMs = 200;
}

StateLog StateLog::fromEnvironment() {
    const char* path = std::getenv("KV_STATE_LOG");
    return StateLog(path ? path : "");
}

void StateLog::write(const std::string& line) const {
    if (std::FILE* f = std::fopen(path_.c_str(), "a")) {
        std::fputs(line.c_str(), f);
        std::fclose(f);
    }
}

void StateLog::sample(const Game& game, uint32_t now) {
    if (path_.empty())
        return;
    std::string out;
    char line[96];
    if (game.matchPhase != phase_ || game.localSlot != local_ || game.winnerSlot != winner_) {
        phase_ = game.matchPhase;
        local_ = game.localSlot;
        winner_ = game.winnerSlot;
        std::snprintf(line, sizeof line, "phase %d local %d winner %d\n", phase_, local_, winner_);
        out += line;
    }
    for (int s = 0; s < kSlots; ++s) {
        const PlayerState& p = game.players[static_cast<size_t>(s)];
        const int hp = p.inUse == 1 ? p.hp : 0, alive = p.inUse == 1 ? p.alive : 0;
        if (hp == hp_[static_cast<size_t>(s)] && alive == alive_[static_cast<size_t>(s)])
            continue;
        hp_[static_cast<size_t>(s)] = hp;
        alive_[static_cast<size_t>(s)] = alive;
        std::snprintf(line, sizeof line, "hp %d %d %d\n", s, hp, alive);
        out += line;
    }
    if (game.appState == AppState::Playing && now - lastPlaces_ >= kPlacesEveryMs) {
        lastPlaces_ = now;
        for (int s = 0; s < kSlots; ++s) {
            const PlayerState& p = game.players[static_cast<size_t>(s)];
            if (p.inUse != 1)
                continue;
            std::snprintf(line, sizeof line, "at %d %.1f %.1f %.1f\n", s, p.x, p.z, p.yaw);
            out += line;
        }
    }
    if (!out.empty())
        write(out);
}

} // namespace kv

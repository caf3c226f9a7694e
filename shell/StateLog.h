#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "shell/GameState.h"

namespace kv {

// For program tests that must know the game's state rather than guess it from pixels: with
// KV_STATE_LOG naming a file, the program appends a line whenever the match phase, the winner
// or a player's hp changes, and every player's place and facing every 200 ms of play:
//   phase <matchPhase> local <localSlot> winner <winnerSlot>
//   hp <slot> <hp> <alive>
//   at <slot> <x> <z> <yaw>
// Without the variable it does nothing.
class StateLog {
public:
    static StateLog fromEnvironment();
    explicit StateLog(std::string path) : path_(std::move(path)) {}

    // Once a tick.
    void sample(const Game& game, uint32_t now);

private:
    void write(const std::string& line) const;

    std::string path_;
    int phase_ = -1, local_ = -1, winner_ = -1;
    std::array<int, kSlots> hp_{};
    std::array<int, kSlots> alive_{};
    uint32_t lastPlaces_ = 0;
};

} // namespace kv

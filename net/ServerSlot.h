#pragma once
#include "shell/GameState.h"

#include <array>
#include <cstdint>

namespace kv {

// The host's record of one player slot: who owns it, the authoritative state, and the
// bookkeeping of hits given and taken. Lives only on the host; never sent as is. Header only:
// the combat rules read it without linking the session code.
struct ServerSlot {
    uint32_t dpnid = 0;     // session identity of the owner; 0 = none
    uint8_t listed = 0;     // has a row in the server console's player list
    uint8_t entered = 0;    // entered the fight of the current map
    uint32_t lastHeard = 0; // when the last accepted message of the slot arrived
    PlayerState state{};
    PlayerState prevState{}; // its dpnid names the owner whose states are accepted
    PlayerAction action{};
    // Per attacker slot: the attack row of that attacker that already hit this slot.
    std::array<uint8_t, kSlots> hitBy{};
    // Per target slot: this slot's current series of hits on it.
    std::array<int16_t, kSlots> comboDamage{};
    std::array<uint32_t, kSlots> comboTime{};
    std::array<uint8_t, kSlots> comboCount{};
    uint8_t lastAttacker = kNoSlot;
    char deathText[130]{};
};

using ServerSlots = std::array<ServerSlot, kSlots>;

// A slot nobody owns yet: heard from now, no hits, every series timed from now.
inline ServerSlot newServerSlot(uint32_t now) {
    ServerSlot s;
    s.lastHeard = now;
    s.comboTime.fill(now);
    return s;
}

// Every slot of the table new.
inline void resetServerSlots(ServerSlots& slots, uint32_t now) {
    slots.fill(newServerSlot(now));
}

// The first slot owned by this session identity; kNoSlot when none (or when dpnid is 0).
inline uint8_t slotOfOwner(const ServerSlots& slots, uint32_t dpnid) {
    if (dpnid == 0)
        return kNoSlot;
    for (int i = 0; i < kSlots; ++i)
        if (slots[i].dpnid == dpnid)
            return static_cast<uint8_t>(i);
    return kNoSlot;
}

} // namespace kv

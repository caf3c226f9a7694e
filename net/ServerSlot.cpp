#include "net/ServerSlot.h"

namespace kv {

ServerSlot newServerSlot(uint32_t now) {
    ServerSlot s;
    s.lastHeard = now;
    s.comboTime.fill(now);
    return s;
}

void resetServerSlots(ServerSlots& slots, uint32_t now) {
    slots.fill(newServerSlot(now));
}

uint8_t slotOfOwner(const ServerSlots& slots, uint32_t dpnid) {
    if (dpnid == 0)
        return kNoSlot;
    for (int i = 0; i < kSlots; ++i)
        if (slots[i].dpnid == dpnid)
            return static_cast<uint8_t>(i);
    return kNoSlot;
}

} // namespace kv

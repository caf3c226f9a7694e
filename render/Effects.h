#pragma once
#include <array>
#include <cstdint>

#include "net/Messages.h"
#include "render/Hud.h"

namespace kv {

// Hit effects in per-slot rings, and the name and damage tags drawn over the characters.
// Ring 0 also carries the title screen's effects under the mouse.
class Effects {
public:
    static constexpr int kRing = 16;
    struct Entry {
        uint8_t kind = 0; // 0: empty
        float dir = 0, size = 0;
        uint32_t start = 0;
    };
    struct Ring {
        uint8_t cursor = 0;
        std::array<Entry, kRing> entries{};
        std::array<float, kRing * 2> titlePos{}; // mouse x, y of ring 0's title entries
    };

    Effects(Renderer& renderer, Hud& hud, Game& game, Clock& clock);

    void spawnEffect(int slot, uint8_t kind, float direction, float size, uint32_t time);
    // A hit on the slot as every screen shows it: the effect beside him, the damage number
    // over him and, on his own screen, the red flash.
    void showHit(int slot, const HitShown& hit);
    // A title effect under the mouse (client pixels) in ring 0.
    void spawnTitleEffect(uint8_t kind, float mouseX, float mouseY, uint32_t time);

    void drawEffects(int slot);
    void drawNameTag(int slot);
    void drawDamageTag(int slot);

    const Ring& ring(int slot) const { return rings_[slot]; }

private:
    glm::mat4 facing(float s, float x, float y, float z) const;
    float dist(int slot) const;
    int orientationSlot() const;

    Renderer& r_;
    Hud& hud_;
    Game& game_;
    Clock& clock_;
    std::array<Ring, 32> rings_{};
};

} // namespace kv

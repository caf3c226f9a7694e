#pragma once
#include <cstdint>

// The arithmetic of the HUD, the damage flash, the tags and the effect animation.
namespace kv::hud {

// Right edge of an HP or SP bar quad: 28.5 at 10000; nothing below 0.
inline float barWidth(int value) {
    return (value < 0 ? 0 : value) * 0.00285f;
}

// Strength of a damage flash started with strength a, elapsed ms later; 0 when over.
inline int flashStrength(int a, uint32_t elapsed) {
    if (a <= 0 || elapsed >= 1500)
        return 0;
    int s = a - static_cast<int>(elapsed / static_cast<uint32_t>(1500 / a));
    return s > 0 ? s : 0;
}
// Alpha of the flash quad: strength + 16, at most 255.
inline int flashAlpha(int strength) {
    return strength + 0x10 > 255 ? 255 : strength + 0x10;
}

// Left edge of a name in its tag: names are centred by their byte length.
inline int nameTagLeft(int lengthBytes) {
    float h = lengthBytes / 2.5f;
    return 64 - static_cast<int>(h * h);
}

// Damage tag: pops in large for 150 ms, then shrinks; rises one unit per 40 ms.
inline float damageTagScale(float distance, uint32_t elapsed, int damage) {
    return distance + (1.0f - 0.0005f * elapsed) + 0.0001f * damage + (elapsed < 150 ? 2.0f : 0.0f);
}
inline int damageTagRise(uint32_t elapsed) {
    return static_cast<int>(elapsed / 40);
}

// One kind of hit effect: its frames are consecutive texture slots.
struct EffectKind {
    int kind, firstSlot, frames;
    uint32_t durationMs;
};
constexpr EffectKind kEffectKinds[] = {
    {1, 44, 9, 300},   {11, 53, 10, 500}, {12, 63, 10, 500},
    {13, 73, 10, 500}, {14, 83, 10, 500}, {15, 93, 10, 500},
};
inline const EffectKind* effectKind(int kind) {
    for (const EffectKind& k : kEffectKinds)
        if (k.kind == kind)
            return &k;
    return nullptr;
}
// Texture slot of an effect elapsed ms after its start; -1 once it is over.
inline int effectFrameSlot(const EffectKind& k, uint32_t elapsed) {
    uint32_t frame = elapsed / (k.durationMs / k.frames);
    if (elapsed >= k.durationMs || frame >= static_cast<uint32_t>(k.frames))
        return -1;
    return k.firstSlot + static_cast<int>(frame);
}

} // namespace kv::hud

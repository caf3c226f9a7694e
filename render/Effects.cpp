#include "render/Effects.h"

#include <algorithm>
#include <cmath>

#include "platform/Clock.h"
#include "platform/gfx/Matrix.h"
#include "render/HudMath.h"
#include "shell/GameState.h"

namespace kv {
namespace {

constexpr QuadCorners kNameTagQuad{-15, -3, 15, 3};
constexpr QuadCorners kDamageTagQuad{-7, -5, 7, 5};
constexpr QuadCorners kEffectQuad{-8, -8, 8, 8};

float sinDeg(float d) {
    return std::sin(d * mx::kDegToRad);
}
float cosDeg(float d) {
    return std::cos(d * mx::kDegToRad);
}

} // namespace

Effects::Effects(Renderer& renderer, Hud& hud, Game& game, Clock& clock)
    : r_(renderer), hud_(hud), game_(game), clock_(clock) {}

void Effects::spawnEffect(int slot, uint8_t kind, float direction, float size, uint32_t time) {
    int count = r_.settings.effectCount;
    if (slot < 0 || slot >= kSlots || count <= 0)
        return;
    Ring& ring = rings_[slot];
    ring.cursor = static_cast<uint8_t>(ring.cursor + 1);
    if (ring.cursor >= count || ring.cursor >= kRing)
        ring.cursor = 0;
    ring.entries[ring.cursor] = {kind, direction, size, time};
}

void Effects::showHit(int slot, const HitShown& hit) {
    if (slot < 0 || slot >= kSlots)
        return;
    spawnEffect(slot, hit.kind, hit.direction, hit.damage * 0.001f, hit.time);
    SlotDisplay& sd = hud_.slots[slot];
    sd.lastHitTime = hit.time;
    sd.damageValue = hit.damage;
    sd.hitCountShown = hit.count;
    sd.lightHit = hit.light ? 1 : 0;
    if (slot == game_.localSlot)
        hud_.startFlash(std::min(hit.damage / 15, 200));
}

void Effects::spawnTitleEffect(uint8_t kind, float mouseX, float mouseY, uint32_t time) {
    spawnEffect(0, kind, 0, 0.03f, time);
    if (r_.settings.effectCount > 0) {
        rings_[0].titlePos[rings_[0].cursor * 2] = mouseX;
        rings_[0].titlePos[rings_[0].cursor * 2 + 1] = mouseY;
    }
}

int Effects::orientationSlot() const {
    return game_.cameraMode == 1 ? game_.viewSlot : game_.localSlot;
}

float Effects::dist(int slot) const {
    return game_.distanceToLocal[slot] / 150.0f;
}

glm::mat4 Effects::facing(float s, float x, float y, float z) const {
    int o = orientationSlot();
    const PlayerState& p = game_.players[o < kSlots ? o : 0];
    return mx::rotationX(-55.0f * sinDeg(p.pitch)) * mx::rotationY(p.yaw) * mx::scaling(s) *
           mx::translation(x, y, z);
}

void Effects::drawEffects(int slot) {
    if (slot < 0 || slot >= kSlots)
        return;
    Device& d = r_.device();
    bool title = game_.appState == AppState::Title;
    d.setLighting(false);
    d.setCull(Cull::None);
    d.enableFog(false);
    d.setBlendFunc(Blend::SrcAlpha, Blend::One);
    uint32_t now = clock_.now();
    Ring& ring = rings_[slot];
    const PlayerState& p = game_.players[slot];
    for (int i = 0; i < kRing; ++i) {
        Entry& e = ring.entries[i];
        const hud::EffectKind* k = hud::effectKind(e.kind);
        if (!k)
            continue;
        int frame = hud::effectFrameSlot(*k, now - e.start);
        if (frame < 0) {
            e.kind = 0;
            continue;
        }
        glm::mat4 world;
        if (title) {
            float w = static_cast<float>(d.width()), h = static_cast<float>(d.height());
            float x = (ring.titlePos[i * 2] - w / 2) / w;
            float y = -(ring.titlePos[i * 2 + 1] - h / 2) / h;
            world = mx::scaling(e.size) * mx::translation(x, y, -0.001f * i);
        } else {
            float x = p.x - 20 * sinDeg(e.dir) + 0.001f * i;
            float y = hud_.slots[slot].cameraHeight + 40;
            float z = p.z - 20 * cosDeg(e.dir) + 0.001f * i;
            world = facing(e.size + 3, x, y, z);
        }
        r_.drawQuad(r_.texture(frame), kEffectQuad, 0xFFFFFFFF, world, 0, true);
    }
    d.setCull(Cull::CounterClockwise);
    d.setBlendFunc(Blend::SrcAlpha, Blend::InvSrcAlpha);
    if (!title) {
        d.setLighting(true);
        r_.enableFog(true);
    }
}

void Effects::drawNameTag(int slot) {
    if (slot < 0 || slot >= kSlots)
        return;
    Device& d = r_.device();
    d.setLighting(false);
    d.setCull(Cull::None);
    r_.alphaTestOn();
    float f = dist(slot);
    int o = orientationSlot();
    if (slot == game_.viewSlot)
        f = 0;
    if (o < kSlots && !game_.players[o].alive && slot == game_.localSlot)
        f = dist(game_.viewSlot);
    if (game_.cameraMode == 2)
        f = 0;
    const PlayerState& p = game_.players[slot];
    r_.drawQuad(r_.texture(tex::NameTag0 + slot), kNameTagQuad, 0xFFFFFFFF,
                facing(1 + f, p.x, hud_.slots[slot].cameraHeight + 75 + f, p.z), 0, true);
    d.setLighting(true);
    d.setCull(Cull::CounterClockwise);
}

void Effects::drawDamageTag(int slot) {
    if (slot < 0 || slot >= kSlots)
        return;
    Device& d = r_.device();
    SlotDisplay& sd = hud_.slots[slot];
    d.setLighting(false);
    d.setCull(Cull::None);
    d.enableFog(false);
    r_.alphaTestOn();
    d.setBlendFunc(Blend::SrcAlpha, Blend::One);
    int o = orientationSlot();
    float dd = slot == game_.viewSlot ? 0 : dist(slot);
    if (o < kSlots && !game_.players[o].alive && slot == game_.localSlot)
        dd = dist(game_.viewSlot);
    uint32_t e = clock_.now() - sd.lastHitTime;
    if (e > 1000) {
        sd.lastHitTime = 0;
        sd.damageValue = 0;
    }
    float g = slot == game_.viewSlot && game_.cameraMode == 1 ? 5.0f : 20.0f;
    float s = hud::damageTagScale(dd, e, sd.damageValue);
    int l = game_.localSlot < kSlots ? game_.localSlot : 0;
    float yaw = game_.players[l].yaw;
    const PlayerState& p = game_.players[slot];
    float x = g * sinDeg(yaw) + p.x;
    float y = dd + sd.cameraHeight + 50 + hud::damageTagRise(e);
    float z = g * cosDeg(yaw) + p.z;
    r_.drawQuad(r_.texture(tex::DamageTag0 + slot), kDamageTagQuad, 0xFFFFFFFF, facing(s, x, y, z),
                0, true);
    d.setBlendFunc(Blend::SrcAlpha, Blend::InvSrcAlpha);
    d.setLighting(true);
    d.setCull(Cull::CounterClockwise);
    r_.enableFog(true);
}

} // namespace kv

#pragma once
#include "audio/SoundSystem.h"
#include "models/AnimController.h"
#include "sim/SimPorts.h"

namespace kv {

// The animation controller as the player control sees it.
class AnimActions final : public ActionPlayer {
public:
    explicit AnimActions(AnimController& anim) : anim_(anim) {}
    int currentAction(uint8_t slot) const override { return anim_.currentAction[slot]; }
    void setAction(uint8_t slot, const PlayerAction& action, bool force) override {
        anim_.setAction(slot, action, force);
    }

private:
    AnimController& anim_;
};

// The sound system's effect copies as the player control sees them.
class EffectSounds final : public SoundOut {
public:
    explicit EffectSounds(SoundSystem& sound) : sound_(sound) {}
    void playEffect(int effect, uint8_t slot, bool loop) override {
        sound_.playEffect(static_cast<uint8_t>(effect), slot, loop);
    }
    void stopEffect(int effect, uint8_t slot) override {
        sound_.stopEffect(static_cast<uint8_t>(effect), slot);
    }

private:
    SoundSystem& sound_;
};

} // namespace kv

#pragma once
#include "audio/SoundFiles.h"
#include "audio/Sounds.h"
#include "sim/SimPorts.h"

namespace kv {

// The simulation's sound port (footsteps, landings, the taunt), played through the game's
// sounds. Numbers outside the effect table are ignored.
class SimSoundOut final : public SoundOut {
public:
    explicit SimSoundOut(Sounds& sounds) : sounds_(sounds) {}

    void playEffect(int effect, uint8_t slot, bool loop) override {
        if (effect >= 0 && effect < kEffectSounds)
            sounds_.playEffect(static_cast<uint8_t>(effect), slot, loop);
    }
    void stopEffect(int effect, uint8_t slot) override {
        if (effect >= 0 && effect < kEffectSounds)
            sounds_.stopEffect(static_cast<uint8_t>(effect), slot);
    }

private:
    Sounds& sounds_;
};

} // namespace kv

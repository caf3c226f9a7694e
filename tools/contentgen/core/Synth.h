#pragma once
#include "tools/contentgen/core/Noise.h"
#include "tools/contentgen/core/Wav.h"

#include <vector>

namespace kv::gen {

// Small building blocks for synthesised sounds. Every layer is added into a mono buffer at a
// start time; envelopes are attack then exponential decay.
struct Env {
    float attack = 0.002f; // seconds
    float decay = 0.2f;    // seconds to fall to about 1/e after the attack
};

class Synth {
public:
    Synth(float seconds, int rate = 22050);

    // Filtered noise: lowHz/highHz bound a band (0 = open); sweep moves the band's centre by
    // this factor over the sound.
    void noise(float at, float length, Env env, float gain, float lowHz, float highHz,
               uint32_t seed, float sweep = 1.0f);
    // A tone gliding from f0 to f1 (sine; bright adds odd harmonics).
    void tone(float at, float length, Env env, float gain, float f0, float f1, float bright = 0);
    // A struck object: inharmonic partials (ratios to the base), each decaying on its own.
    void strike(float at, float base, const std::vector<float>& ratios, float decay, float gain);
    // Soft clipping for punch, then normalise the peak to `peak`.
    Sound finish(float drive = 1.0f, float peak = 0.9f);

    int rate() const { return rate_; }
    std::vector<float>& data() { return buf_; }

private:
    int rate_;
    std::vector<float> buf_;
};

} // namespace kv::gen

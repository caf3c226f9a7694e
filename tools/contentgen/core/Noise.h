#pragma once
#include <cstdint>

namespace kv::gen {

// The generator's own deterministic randomness: same seed, same content, every run.
class Rng {
public:
    explicit Rng(uint32_t seed) : s_(seed * 2654435761u + 0x9e3779b9u) { next(); }
    uint32_t next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    float uniform() { return static_cast<float>(next() >> 8) / 16777216.0f; } // [0, 1)
    float range(float a, float b) { return a + (b - a) * uniform(); }
    float bipolar() { return uniform() * 2.0f - 1.0f; } // [-1, 1)

private:
    uint32_t s_;
};

// Smooth value noise in [0, 1] and its fractal sum.
float valueNoise(float x, float y, uint32_t seed);
float fbm(float x, float y, uint32_t seed, int octaves = 4);

} // namespace kv::gen

#include "tools/contentgen/core/Synth.h"

#include "tools/contentgen/core/Geometry.h"

#include <algorithm>
#include <cmath>

namespace kv::gen {

Synth::Synth(float seconds, int rate)
    : rate_(rate), buf_(static_cast<size_t>(seconds * static_cast<float>(rate)), 0.0f) {}

static float envelope(const Env& e, float t) {
    if (t < e.attack)
        return t / e.attack;
    return std::exp(-(t - e.attack) / e.decay);
}

void Synth::noise(float at, float length, Env env, float gain, float lowHz, float highHz,
                  uint32_t seed, float sweep) {
    Rng rng(seed);
    size_t start = static_cast<size_t>(at * static_cast<float>(rate_));
    size_t n = static_cast<size_t>(length * static_cast<float>(rate_));
    float lp = 0, lp2 = 0, hp = 0, prev = 0;
    for (size_t i = 0; i < n && start + i < buf_.size(); ++i) {
        float t = static_cast<float>(i) / static_cast<float>(rate_);
        float k = std::pow(sweep, t / length);
        float x = rng.bipolar();
        if (highHz > 0) { // two one-pole low passes
            float a = 1 - std::exp(-2 * kPi * std::min(highHz * k, rate_ * 0.45f) / rate_);
            lp += a * (x - lp);
            lp2 += a * (lp - lp2);
            x = lp2;
        }
        if (lowHz > 0) { // one-pole high pass
            float a = std::exp(-2 * kPi * lowHz * k / rate_);
            hp = a * (hp + x - prev);
            prev = x;
            x = hp;
        }
        buf_[start + i] += x * gain * envelope(env, t);
    }
}

void Synth::tone(float at, float length, Env env, float gain, float f0, float f1, float bright) {
    size_t start = static_cast<size_t>(at * static_cast<float>(rate_));
    size_t n = static_cast<size_t>(length * static_cast<float>(rate_));
    double phase = 0;
    for (size_t i = 0; i < n && start + i < buf_.size(); ++i) {
        float t = static_cast<float>(i) / static_cast<float>(rate_);
        float f = f0 * std::pow(f1 / f0, t / length);
        phase += 2 * kPi * f / rate_;
        float s = static_cast<float>(std::sin(phase));
        if (bright > 0)
            s += bright * (static_cast<float>(std::sin(3 * phase)) / 3 +
                           static_cast<float>(std::sin(5 * phase)) / 5);
        float fadeOut = std::min(1.0f, (length - t) * 200);
        buf_[start + i] += s * gain * envelope(env, t) * fadeOut;
    }
}

void Synth::strike(float at, float base, const std::vector<float>& ratios, float decay,
                   float gain) {
    for (size_t k = 0; k < ratios.size(); ++k) {
        float f = base * ratios[k];
        float d = decay / (1.0f + 0.6f * static_cast<float>(k));
        tone(at, std::min(d * 6, static_cast<float>(buf_.size()) / rate_ - at), {0.001f, d},
             gain / (1.0f + 0.5f * static_cast<float>(k)), f, f * 0.998f);
    }
}

Sound Synth::finish(float drive, float peak) {
    Sound s;
    s.rate = rate_;
    s.samples = buf_;
    for (float& v : s.samples)
        v = std::tanh(v * drive);
    float m = 1e-6f;
    for (float v : s.samples)
        m = std::max(m, std::fabs(v));
    for (float& v : s.samples)
        v *= peak / m;
    // No click at the end.
    size_t fade = std::min<size_t>(s.samples.size(), static_cast<size_t>(rate_ / 200));
    for (size_t i = 0; i < fade; ++i)
        s.samples[s.samples.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(fade);
    return s;
}

} // namespace kv::gen

#pragma once
#include <cmath>

namespace kv {

// Option volumes (0 to 100) become attenuations in hundredths of a decibel, 0 being full
// volume; integer arithmetic truncates toward zero as the design's figures expect.

// Effects, interface sounds and voices: 0 at 100, -3000 at 50, -6000 at 0.
constexpr int soundAttenuation(int volume) {
    return -(6000 - 6000 * volume / 100);
}

// Music: 0 at 100, -2000 at 50, -4000 at 0.
constexpr int musicAttenuation(int volume) {
    return -(4000 - 4000 * volume / 100);
}

// Linear gain of an attenuation.
inline float gainOf(int attenuation) {
    return static_cast<float>(std::pow(10.0, attenuation / 2000.0));
}

} // namespace kv

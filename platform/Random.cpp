#include "platform/Random.h"

namespace kv {

uint32_t Random::next() {
    // xorshift32: small, fast and good enough for yaw and picture choices.
    uint32_t x = state_;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    state_ = x;
    return x;
}

int Random::random(int n) {
    if (n <= 0)
        return 0;
    return static_cast<int>(next() % static_cast<uint32_t>(n));
}

} // namespace kv

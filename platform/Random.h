#pragma once
#include <cstdint>

namespace kv {

// The program's one random generator. Seeded from the clock by the shell, with a fixed
// seed by tests.
class Random {
public:
    explicit Random(uint32_t seed = 1) { seed_(seed); }
    void seed_(uint32_t seed) { state_ = seed ? seed : 0x9e3779b9u; }
    // 0..n-1; 0 when n is 0 or negative.
    int random(int n);
    uint32_t next();

private:
    uint32_t state_;
};

} // namespace kv

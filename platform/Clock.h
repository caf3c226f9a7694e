#pragma once
#include <cstdint>

namespace kv {

// Milliseconds in unsigned 32 bits, wrapping like the original timer. Everything that
// reads time goes through one Clock so tests can drive it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t now() = 0;
    virtual void sleepMs(uint32_t ms) = 0;
};

class SystemClock final : public Clock {
public:
    uint32_t now() override;
    void sleepMs(uint32_t ms) override;
};

// Time stands still until a test advances it; sleeping advances it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(uint32_t start = 0) : t_(start) {}
    uint32_t now() override { return t_; }
    void sleepMs(uint32_t ms) override { t_ += ms; }
    void advance(uint32_t ms) { t_ += ms; }
    void set(uint32_t t) { t_ = t; }

private:
    uint32_t t_;
};

// True when a is later than b, with wrap-around of the 32-bit counter.
inline bool timeAfter(uint32_t a, uint32_t b) {
    return static_cast<int32_t>(a - b) > 0;
}

} // namespace kv

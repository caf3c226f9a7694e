#pragma once
#include "platform/net/NetSession.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kv::net {

// A bad link for tests: a relay on loopback between players and a host that drops, delays and
// reorders datagrams, drawn from a seed. Players connect to `at()` instead of the host; the
// host sees each player from a port of the relay's own. Serviced from the caller's thread.
class LossyRelay {
public:
    struct Faults {
        double loss = 0;       // chance that a datagram is dropped, each way
        uint32_t delayMs = 0;  // every datagram waits this long
        uint32_t jitterMs = 0; // and up to this much more, so later ones may overtake
        uint32_t seed = 1;
    };
    LossyRelay(Endpoint host, Faults faults);
    ~LossyRelay();
    LossyRelay(const LossyRelay&) = delete;
    LossyRelay& operator=(const LossyRelay&) = delete;

    bool open(std::string& error, uint32_t bindIp = 0x7F000001);
    Endpoint at() const;
    // Takes in what arrived and sends on what is due.
    void service();

    uint64_t forwarded() const;
    uint64_t dropped() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace kv::net

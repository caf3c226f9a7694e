#pragma once
#include "net/Router.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kv::test {

// A transport that keeps what it was given, and reads the bodies back for tests.
class SentMessages final : public Transport {
public:
    void sendToHost(const Message& m) override { toHost.push_back(m); }
    void sendTo(uint32_t dpnid, const Message& m) override { fromHost.push_back({dpnid, m}); }

    template <class Body> std::vector<Body> toHostOf(uint8_t type) const {
        std::vector<Body> out;
        for (const Message& m : toHost)
            if (m.type() == type)
                if (std::optional<Body> b = unpack<Body>(m))
                    out.push_back(*b);
        return out;
    }
    // The text lines sent to the host: kind and text.
    std::vector<std::pair<uint8_t, std::string>> texts() const {
        std::vector<std::pair<uint8_t, std::string>> out;
        for (const TextBody& b : toHostOf<TextBody>(MSG_TEXT))
            out.push_back({b.kind, std::string(bodyText(b))});
        return out;
    }

    std::vector<Message> toHost;
    std::vector<std::pair<uint32_t, Message>> fromHost;
};

} // namespace kv::test

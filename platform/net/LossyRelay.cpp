#include "platform/net/LossyRelay.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <queue>
#include <random>
#include <vector>

namespace kv::net {

namespace {

uint64_t nowMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

sockaddr_in toSock(Endpoint e) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(e.ip);
    a.sin_port = htons(e.port);
    return a;
}

int udpSocket(uint32_t bindIp) {
    int s = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0)
        return -1;
    sockaddr_in a = toSock({bindIp, 0});
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(s);
        return -1;
    }
    return s;
}

} // namespace

struct LossyRelay::Impl {
    Endpoint host;
    Faults faults;
    std::mt19937 random;
    uint32_t bindIp = 0;
    int front = -1;
    // One socket toward the host for each player address.
    std::map<std::pair<uint32_t, uint16_t>, int> upstream;
    std::map<int, Endpoint> playerOf;
    struct Pending {
        uint64_t due;
        uint64_t order;
        int socket;
        Endpoint to;
        std::vector<uint8_t> data;
        bool operator>(const Pending& o) const {
            return due != o.due ? due > o.due : order > o.order;
        }
    };
    std::priority_queue<Pending, std::vector<Pending>, std::greater<>> queue;
    uint64_t order = 0, forwarded = 0, dropped = 0;

    void schedule(int socket, Endpoint to, const uint8_t* data, size_t size) {
        if (std::uniform_real_distribution<double>(0, 1)(random) < faults.loss) {
            ++dropped;
            return;
        }
        uint32_t jitter = faults.jitterMs
                              ? std::uniform_int_distribution<uint32_t>(0, faults.jitterMs)(random)
                              : 0;
        queue.push({nowMs() + faults.delayMs + jitter, order++, socket, to,
                    std::vector<uint8_t>(data, data + size)});
    }

    void drain(int socket, bool fromPlayers) {
        uint8_t buf[65536];
        for (;;) {
            sockaddr_in from{};
            socklen_t n = sizeof from;
            ssize_t got =
                recvfrom(socket, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &n);
            if (got < 0)
                return;
            if (fromPlayers) {
                auto key = std::make_pair(ntohl(from.sin_addr.s_addr), ntohs(from.sin_port));
                auto it = upstream.find(key);
                if (it == upstream.end()) {
                    int s = udpSocket(bindIp);
                    if (s < 0)
                        continue;
                    it = upstream.emplace(key, s).first;
                    playerOf[s] = {key.first, key.second};
                }
                schedule(it->second, host, buf, static_cast<size_t>(got));
            } else {
                schedule(front, playerOf[socket], buf, static_cast<size_t>(got));
            }
        }
    }
};

LossyRelay::LossyRelay(Endpoint host, Faults faults) : impl_(std::make_unique<Impl>()) {
    impl_->host = host;
    impl_->faults = faults;
    impl_->random.seed(faults.seed);
}

LossyRelay::~LossyRelay() {
    if (impl_->front >= 0)
        ::close(impl_->front);
    for (auto& [key, s] : impl_->upstream)
        ::close(s);
}

bool LossyRelay::open(std::string& error, uint32_t bindIp) {
    impl_->bindIp = bindIp;
    impl_->front = udpSocket(bindIp);
    if (impl_->front < 0) {
        error = "cannot bind the relay's socket";
        return false;
    }
    return true;
}

Endpoint LossyRelay::at() const {
    sockaddr_in a{};
    socklen_t n = sizeof a;
    if (impl_->front < 0 || getsockname(impl_->front, reinterpret_cast<sockaddr*>(&a), &n) != 0)
        return {};
    return {ntohl(a.sin_addr.s_addr), ntohs(a.sin_port)};
}

void LossyRelay::service() {
    Impl& m = *impl_;
    if (m.front < 0)
        return;
    m.drain(m.front, true);
    for (auto& [s, player] : m.playerOf)
        m.drain(s, false);
    uint64_t now = nowMs();
    while (!m.queue.empty() && m.queue.top().due <= now) {
        const Impl::Pending& p = m.queue.top();
        sockaddr_in to = toSock(p.to);
        sendto(p.socket, p.data.data(), p.data.size(), 0, reinterpret_cast<sockaddr*>(&to),
               sizeof to);
        ++m.forwarded;
        m.queue.pop();
    }
}

uint64_t LossyRelay::forwarded() const {
    return impl_->forwarded;
}

uint64_t LossyRelay::dropped() const {
    return impl_->dropped;
}

} // namespace kv::net

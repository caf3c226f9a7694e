// A LAN search by broadcast, between two network namespaces joined by a veth pair that the test
// makes and removes itself. Nothing is sent on the network of the machine the tests run on.
#include "tests/net/SessionsTestSupport.h"

#include <fcntl.h>
#include <sched.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

using namespace kv;
using namespace kv::test;

namespace {

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Two namespaces: the host's with 10.77.0.1, the player's with 10.77.0.2 and its routes out of
// the veth end only.
struct TwoNamespaces {
    std::string host, player, hostLink, playerLink;
    bool ready = false;
    TwoNamespaces() {
        std::string id = std::to_string(getpid());
        host = "kvlanh" + id;
        player = "kvlanp" + id;
        hostLink = "kvh" + id;
        playerLink = "kvp" + id;
        remove();
        ready =
            run("ip netns add " + host) && run("ip netns add " + player) &&
            run("ip link add " + hostLink + " type veth peer name " + playerLink) &&
            run("ip link set " + hostLink + " netns " + host) &&
            run("ip link set " + playerLink + " netns " + player) &&
            run("ip -n " + host + " addr add 10.77.0.1/24 broadcast 10.77.0.255 dev " + hostLink) &&
            run("ip -n " + player + " addr add 10.77.0.2/24 broadcast 10.77.0.255 dev " +
                playerLink) &&
            run("ip -n " + host + " link set " + hostLink + " up") &&
            run("ip -n " + player + " link set " + playerLink + " up") &&
            run("ip -n " + host + " link set lo up") &&
            run("ip -n " + player + " link set lo up") &&
            run("ip -n " + player + " route add default dev " + playerLink);
    }
    ~TwoNamespaces() { remove(); }
    void remove() {
        run("ip netns del " + host);
        run("ip netns del " + player);
        run("ip link del " + hostLink); // only if it never left the machine's namespace
    }
};

// Moves the calling thread into a namespace; the sockets it makes then live there.
bool enter(const std::string& name) {
    int fd = open(("/var/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = setns(fd, CLONE_NEWNET) == 0;
    ::close(fd);
    return ok;
}

bool haveIp() {
    for (const char* dir : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"})
        if (std::filesystem::exists(dir))
            return true;
    return false;
}

} // namespace

TEST(LanSearch, APlayerFindsAndJoinsAHostByBroadcast) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to make network namespaces";
    if (!haveIp())
        GTEST_SKIP() << "needs the ip tool (iproute2)";
    TwoNamespaces ns;
    ASSERT_TRUE(ns.ready) << "could not make the namespaces and the veth pair";

    HostProgram h(10, {}, kDefaultHostPort, 0);
    setText(h.session.roomName, "LAN room");
    std::atomic<bool> started{false}, failed{false}, done{false};
    std::thread hostSide([&] {
        if (!enter(ns.host) || !h.start()) {
            failed = true;
            return;
        }
        started = true;
        while (!done) {
            h.host.poll();
            h.host.flush();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        h.host.close();
    });
    while (!started && !failed)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_FALSE(failed);

    DataLoader data;
    PlayerProgram p(data, "lan player", {});
    bool found = false, joined = false, seated = false;
    std::string hostIp;
    std::thread playerSide([&] {
        if (!enter(ns.player))
            return;
        p.session.lanSearch = 1; // broadcast, inside the player's namespace only
        p.client.clearHosts();
        found = p.client.create() && p.client.setupAddresses() && p.client.setPlayerInfo() &&
                p.client.searchHosts() && p.client.hosts()[0].used;
        if (!found)
            return;
        hostIp = p.client.hosts()[0].hostIp;
        joined = p.client.connect();
        if (!joined)
            return;
        p.sendJoin();
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!seated && std::chrono::steady_clock::now() < until) {
            p.client.poll();
            seated = p.hasText(TEXT_PREPARING, "-lan player" + sjis("が参加準備中-"));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        p.client.destroy();
    });
    playerSide.join();
    done = true;
    hostSide.join();

    ASSERT_TRUE(found) << "the broadcast search found no host";
    EXPECT_EQ(hostIp, "10.77.0.1");
    EXPECT_STREQ(p.client.hosts()[0].sessionName, "LAN room");
    EXPECT_EQ(p.client.hostsFound(), 1u);
    EXPECT_TRUE(joined);
    EXPECT_TRUE(seated) << "the host's texts did not reach the player";
}

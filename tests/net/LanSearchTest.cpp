// A LAN search by broadcast, between two network namespaces joined by a veth pair that the test
// makes and removes itself. Nothing is sent on the network of the machine the tests run on.
#include "tests/net/SessionsTestSupport.h"
#include "tests/support/NetNamespaces.h"

#include <fcntl.h>
#include <sched.h>

#include <atomic>

using namespace kv;
using namespace kv::test;

namespace {

// Moves the calling thread into a namespace; the sockets it makes then live there.
bool enter(const std::string& name) {
    int fd = open(("/var/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = setns(fd, CLONE_NEWNET) == 0;
    ::close(fd);
    return ok;
}

} // namespace

TEST(LanSearch, APlayerFindsAndJoinsAHostByBroadcast) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to make network namespaces";
    if (!haveIpTool())
        GTEST_SKIP() << "needs the ip tool (iproute2)";
    NetNamespaces ns("kvl", "10.77.0");
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
        if (!enter(ns.players))
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
    EXPECT_EQ(hostIp, ns.hostIp);
    EXPECT_STREQ(p.client.hosts()[0].sessionName, "LAN room");
    EXPECT_EQ(p.client.hostsFound(), 1u);
    EXPECT_TRUE(joined);
    EXPECT_TRUE(seated) << "the host's texts did not reach the player";
}

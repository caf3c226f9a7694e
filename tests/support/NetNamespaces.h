#pragma once
// Two network namespaces joined by a veth pair, made by the test and removed with it: the
// host's end and the players' end, each on the given /24 subnet, each routing everything out of
// its veth end only. A broadcast or a stray packet of the programs inside never reaches the
// machine's own network.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kv::test {

inline bool runQuiet(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline bool haveIpTool() {
    for (const char* p : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"})
        if (std::filesystem::exists(p))
            return true;
    return false;
}

struct NetNamespaces {
    std::string host, players, hostLink, playerLink;
    std::string hostIp, playerIp;
    bool ready = false;

    // `prefix`: a few letters that keep two tests' names apart (interface names hold at most
    // 15 characters with the process id); `subnet`: the first three parts, "10.77.0".
    NetNamespaces(const std::string& prefix, const std::string& subnet)
        : hostIp(subnet + ".1"), playerIp(subnet + ".2") {
        const std::string id = std::to_string(getpid());
        host = prefix + "h" + id;
        players = prefix + "p" + id;
        hostLink = prefix + "h" + id + "l";
        playerLink = prefix + "p" + id + "l";
        remove();
        const std::string broadcast = " broadcast " + subnet + ".255 dev ";
        ready = runQuiet("ip netns add " + host) && runQuiet("ip netns add " + players) &&
                runQuiet("ip link add " + hostLink + " type veth peer name " + playerLink) &&
                runQuiet("ip link set " + hostLink + " netns " + host) &&
                runQuiet("ip link set " + playerLink + " netns " + players) &&
                runQuiet("ip -n " + host + " addr add " + hostIp + "/24" + broadcast + hostLink) &&
                runQuiet("ip -n " + players + " addr add " + playerIp + "/24" + broadcast +
                         playerLink) &&
                runQuiet("ip -n " + host + " link set " + hostLink + " up") &&
                runQuiet("ip -n " + players + " link set " + playerLink + " up") &&
                runQuiet("ip -n " + host + " link set lo up") &&
                runQuiet("ip -n " + players + " link set lo up") &&
                runQuiet("ip -n " + host + " route add default dev " + hostLink) &&
                runQuiet("ip -n " + players + " route add default dev " + playerLink);
    }
    ~NetNamespaces() { remove(); }
    NetNamespaces(const NetNamespaces&) = delete;
    NetNamespaces& operator=(const NetNamespaces&) = delete;

    void remove() {
        runQuiet("ip netns del " + host);
        runQuiet("ip netns del " + players);
        runQuiet("ip link del " + hostLink); // only if it never left the machine's namespace
    }
};

} // namespace kv::test

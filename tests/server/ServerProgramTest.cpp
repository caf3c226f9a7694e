// The dedicated host as its operator runs it: the program from the game folder on a port, a
// player joining it over loopback, SIGTERM to end it.
#include "tests/net/HeadlessGame.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kv::test {
namespace {

using namespace std::chrono_literals;

// A UDP port on loopback that nothing holds at the moment.
uint16_t freeLoopbackPort() {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    uint16_t port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    if (fd >= 0)
        close(fd);
    return port;
}

class ServerProgram : public ::testing::Test {
protected:
    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (out >= 0)
            close(out);
    }

    // Starts the program in the game folder with its standard output into a pipe.
    void start(uint16_t port, const char* password = nullptr) {
        const std::filesystem::path folder = std::filesystem::current_path();
        const std::string program = (folder / "KestravaServer").string();
        const std::string portText = std::to_string(port);
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            close(fds[1]);
            if (password)
                execl(program.c_str(), program.c_str(), "--port", portText.c_str(), "--password",
                      password, static_cast<char*>(nullptr));
            else
                execl(program.c_str(), program.c_str(), "--port", portText.c_str(),
                      static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        out = fds[0];
        fcntl(out, F_SETFL, O_NONBLOCK);
    }

    // What the program printed so far.
    const std::string& printed() {
        char buf[4096];
        ssize_t n;
        while ((n = read(out, buf, sizeof buf)) > 0)
            text.append(buf, size_t(n));
        return text;
    }

    // Runs `step` until the program has printed `line` or the time is up.
    bool waitPrinted(
        const std::string& line, std::chrono::seconds limit,
        const std::function<void()>& step = [] {}) {
        for (auto end = std::chrono::steady_clock::now() + limit;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(5ms)) {
            step();
            if (printed().find(line) != std::string::npos)
                return true;
        }
        return false;
    }

    pid_t pid = -1;
    int out = -1;
    std::string text;
};

TEST_F(ServerProgram, CountsAPlayerWhoJoinsAndEndsOnSigtermTellingHim) {
    const uint16_t port = freeLoopbackPort();
    ASSERT_NE(port, 0);
    start(port);
    ASSERT_TRUE(waitPrinted("参加者待機中", 30s)) << "the host did not start:\n" << printed();

    // The player plays in a scratch copy of the content, where his equipment file may be made.
    ContentCopy content;
    DataLoader data;
    ASSERT_TRUE(data.loadWeapons() && data.loadShields() && data.loadArmours() &&
                data.loadItems() && data.loadMaps());
    SystemClock clock;
    // His link would be lost only long after the wait below: what ends it is the host's word.
    net::Options patient;
    patient.timeoutMinMs = patient.timeoutMaxMs = 120000;
    HeadlessPlayer player(data, clock, "Joiner", patient, 5);
    ASSERT_TRUE(player.join("127.0.0.1:" + std::to_string(port)))
        << (player.boxes.shown.empty() ? "no host found" : cp932ToUtf8(player.boxes.shown[0].text));
    uint32_t lastTick = clock.now();
    auto play = [&] {
        player.pass();
        if (clock.now() - lastTick >= 16) {
            lastTick = clock.now();
            player.tick();
        }
    };
    EXPECT_TRUE(waitPrinted("+ Joiner (", 30s, play)) << "the player was not listed:\n"
                                                      << printed();

    ASSERT_EQ(kill(pid, SIGTERM), 0);
    int status = -1;
    bool told = false;
    for (auto end = std::chrono::steady_clock::now() + 30s;
         std::chrono::steady_clock::now() < end && (pid > 0 || !told);
         std::this_thread::sleep_for(5ms)) {
        play();
        for (const auto& [line, colour] : player.lines)
            told = told || line == sjis("サーバーがゲームを終了しました。");
        if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid)
            pid = -1;
    }
    ASSERT_EQ(pid, -1) << "the host did not end on SIGTERM";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_TRUE(told) << "the player was not told that the host ended the game";
}

// The settings file keeps no password, so the operator gives one on the command line; the host
// list shows the game as needing it, with the rotation the host plays.
TEST_F(ServerProgram, APasswordFromTheCommandLineKeepsOutWhoeverLacksIt) {
    const uint16_t port = freeLoopbackPort();
    ASSERT_NE(port, 0);
    start(port, "Arena7");
    ASSERT_TRUE(waitPrinted("参加者待機中", 30s)) << "the host did not start:\n" << printed();

    ContentCopy content;
    DataLoader data;
    ASSERT_TRUE(data.loadWeapons() && data.loadShields() && data.loadArmours() &&
                data.loadItems() && data.loadMaps());
    SystemClock clock;
    const std::string address = "127.0.0.1:" + std::to_string(port);

    HeadlessPlayer wrong(data, clock, "Guesser", net::Options{}, 5);
    setText(wrong.game.session.joinPassword, "arena8");
    EXPECT_FALSE(wrong.join(address));
    const HostEntry& seen = wrong.game.connection.hosts()[0];
    ASSERT_EQ(seen.used, 1) << "no host found";
    EXPECT_EQ(seen.access, 1);
    int inRotation = 0;
    for (uint8_t mark : seen.rotation)
        inRotation += mark != 0;
    EXPECT_EQ(inRotation, std::min(data.mapCount(), 20));
    ASSERT_FALSE(wrong.boxes.shown.empty());
    EXPECT_EQ(wrong.boxes.shown.back().text, sjis("パスワードが違います"));

    // Typed in lower case, as the host list's field gives it.
    HeadlessPlayer right(data, clock, "Member", net::Options{}, 6);
    setText(right.game.session.joinPassword, "arena7");
    EXPECT_TRUE(right.join(address))
        << (right.boxes.shown.empty() ? "no host found" : cp932ToUtf8(right.boxes.shown[0].text));
}

TEST_F(ServerProgram, RefusesAPasswordItCouldNotKeepWhole) {
    for (const char* bad : {"", "elevenchars", "two words", "pass-word"}) {
        const std::string program = (std::filesystem::current_path() / "KestravaServer").string();
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            execl(program.c_str(), program.c_str(), "--password", bad, static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << "'" << bad << "': " << status;
    }
}

} // namespace
} // namespace kv::test

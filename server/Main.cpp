// The dedicated host: the match and the host session with no window, sound or input device, for
// a machine that only serves. Runs from the game folder, as the game does.
#include "data/DataLoader.h"
#include "net/HostGame.h"
#include "net/Session.h"
#include "net/SessionInfo.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "world/NoPlayer.h"
#include "world/World.h"

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace kv {
namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

void say(std::string_view cp932) {
    std::string line = cp932ToUtf8(cp932);
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Nobody reads a box on a server: what it says goes to the error stream, and a question is
// answered yes, as an operator who started the host would.
class ConsoleBoxes final : public MessageBoxes {
public:
    MsgResult show(std::string_view caption, std::string_view text, MsgButtons buttons) override {
        std::fprintf(stderr, "[%s] %s\n", cp932ToUtf8(caption).c_str(), cp932ToUtf8(text).c_str());
        return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }
};

std::string nameOf(const Game& game, int slot) {
    const auto& n = game.playerNames[size_t(slot)];
    return std::string(n.data(), strnlen(n.data(), n.size()));
}

int usage() {
    std::fputs("usage: KestravaServer [--port N] [--password WORD]\n"
               "  runs from the game folder and reads its ServerSetting.ini\n"
               "  WORD: 1 to 10 letters and digits, which players type to join\n",
               stderr);
    return 2;
}

// The settings file keeps no password, so the operator gives it here. Letters and digits only,
// in lower case as the settings dialog makes them, so what players type matches.
bool readPassword(const char* text, std::string& out) {
    out.clear();
    for (const char* c = text; *c != '\0'; ++c) {
        const unsigned char u = static_cast<unsigned char>(*c);
        if (!std::isalnum(u) || u >= 0x80)
            return false;
        out.push_back(static_cast<char>(std::tolower(u)));
    }
    return !out.empty() && out.size() < sizeof(Session::password);
}

int run(int argc, char** argv) {
    long port = -1;
    std::string password;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            char* end = nullptr;
            port = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || port <= 0 || port > 65535)
                return usage();
        } else if (std::strcmp(argv[i], "--password") == 0 && i + 1 < argc) {
            if (!readPassword(argv[++i], password))
                return usage();
        } else {
            return usage();
        }
    }

    SystemClock clock;
    Random random(static_cast<uint32_t>(std::time(nullptr)));
    ConsoleBoxes boxes;
    DataLoader data;
    NoPlayer none;
    World world(clock, random, data, none, none, none);
    if (!data.loadWeapons() || !data.loadShields() || !data.loadArmours() || !data.loadItems() ||
        !data.loadMaps() || !data.loadAnimSets(world.anim.tables) ||
        !data.loadActionMaps(world.anim.tables)) {
        std::fputs("the game's content could not be read (run from the game folder)\n", stderr);
        return 1;
    }
    data.loadGameOptions(random);

    Session session(data);
    SessionInfo info{};
    ServerSlots slots{};
    session.resetSettings(Session::kAll);
    session.loadServerSettings();

    HostGame::Links links;
    links.loadMap = [&](uint8_t map) {
        world.game.mapIndex = map;
        world.loadMap();
    };
    links.advanceAnimation = [&](uint8_t slot) { world.anim.advance(slot, 0.9f); };
    links.consoleLog = [](std::string_view line) { say(line); };
    links.consoleRemove = [&](int slot) {
        if (slot < 0 || slot >= kSlots || !slots[size_t(slot)].listed)
            return;
        slots[size_t(slot)].listed = 0;
        say("- " + nameOf(world.game, slot) + " (" + std::to_string(slot) + ")");
    };
    HostGame host(world.game, session, info, data, clock, random, slots, world.map, world, world,
                  data.options().game, boxes, links, HostSession::Setup{});

    // The settings file as saved by the settings dialog, which checked it; a port on the command
    // line wins over the file's and is not written back.
    session.isHost = 1;
    session.serverOnly = 1;
    if (port > 0) {
        session.customPort = 1;
        session.port = static_cast<uint32_t>(port);
    }
    setText(session.password, password);
    if (session.maxPlayers < 1 || session.maxPlayers > 32)
        session.maxPlayers = 32;
    setServerMessage(info, std::string(textOf(session.serverMessage)));
    // What the host list's details show: the match flags and the rotation.
    setMatchFlags(info, session);
    publishRotation(info, session, data);
    session.currentMap = host.match.chooseNextMap();
    world.game.mapIndex = session.currentMap;
    if (!world.loadMap())
        std::fputs("the map's collision could not be read; players walk without it\n", stderr);
    if (!host.hostSession.start()) {
        host.hostSession.close();
        return 1;
    }

    struct sigaction sa {};
    sa.sa_handler = requestStop;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    say(sjis("参加者待機中･･･"));
    uint32_t lastStep = clock.now(), lastList = lastStep;
    while (!stopRequested) {
        host.pass();
        const uint32_t now = clock.now();
        if (now - lastStep >= 16) {
            lastStep = now;
            host.step();
        }
        if (now - lastList >= 500) {
            lastList = now;
            // The player list: a line for each player as he is first seen in his slot.
            for (int s = 0; s < kSlots; ++s)
                if (world.game.players[size_t(s)].inUse == 1 && !slots[size_t(s)].listed) {
                    slots[size_t(s)].listed = 1;
                    say("+ " + nameOf(world.game, s) + " (" + std::to_string(s) + ")");
                }
        }
        clock.sleepMs(1);
    }
    // Every player is told the session ended before the program goes.
    host.hostSession.close();
    return 0;
}

} // namespace
} // namespace kv

int main(int argc, char** argv) {
    return kv::run(argc, argv);
}

#pragma once
#include <functional>
#include <memory>

#include "data/DataLoader.h"
#include "net/ClientSession.h"
#include "net/HostGame.h"
#include "net/Session.h"
#include "net/SessionInfo.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/gui/Gui.h"
#include "render/MessageLog.h"
#include "shell/LoadingDialog.h"
#include "ui/DialogTimers.h"
#include "world/World.h"

namespace kv {

// A network game started from the title: hosting (the server settings, the host, then the
// host's own player joining it) or joining (the host list, the client options and the join's
// progress). It owns the host and the client sessions while the game lasts and serves both
// once per pass of whatever loop runs, the dialogs' included.
class NetGame {
public:
    struct Parts {
        Game& game;
        Session& session;
        SessionInfo& info;
        DataLoader& data;
        Clock& clock;
        Random& random;
        World& world;
        MessageBoxes& boxes;
        MessageLog& log;
        LoadingDialog& loading;
        // Draws the title behind a dialog.
        std::function<void()> backdrop;
    };

    explicit NetGame(Parts parts);
    ~NetGame();

    // The title's host entry: true when the game has been started.
    bool host(Gui& gui);
    // The title's join entry: true when the player is in the game.
    bool join(Gui& gui);
    // The join's progress dialog; the server settings run it for a playing host.
    bool runJoin(Gui& gui);

    bool active() const { return host_ || client_; }
    // Every pass: what arrived on both sessions, the match, the state report, what was sent.
    void pass();
    // Every 16 ms step of a host: the slots' tick.
    void step();
    // Back to the title: both sessions closed, the tables cleared.
    void close();

    // A host that stopped answering its own player's loading is closed.
    void closeHostSession() {
        if (host_)
            host_->hostSession.close();
    }

    // What the loading stages send while they wait for the host.
    void sendJoinRequest();
    void sendSyncRequest();

private:
    // The world's router sends through the sessions.
    struct Transport final : kv::Transport {
        explicit Transport(NetGame& n) : net(n) {}
        void sendToHost(const Message& m) override;
        void sendTo(uint32_t dpnid, const Message& m) override;
        NetGame& net;
    };
    // The rows every slot plays, for the host's combat.
    struct Rows final : AttackRows {
        explicit Rows(World& w) : world(w) {}
        int currentAction(uint8_t slot) const override;
        uint8_t currentRow(uint8_t slot) const override;
        int16_t rowValue(uint8_t slot, int column) const override;
        World& world;
    };

    void openHost();
    ClientLinks clientLinks(Gui& gui);
    int chooseHost(Gui& gui);
    // The dialogs' backdrop: the sessions are served with every frame a modal loop draws.
    void servedBackdrop();

    Parts p_;
    Transport transport_{*this};
    Rows rows_;
    ServerSlots slots_{};
    DialogTimers timers_;
    std::unique_ptr<HostGame> host_;
    std::unique_ptr<ClientSession> client_;
};

} // namespace kv

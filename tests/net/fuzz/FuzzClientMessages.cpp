// libFuzzer entry: any run of messages from the host must leave a player running: no crash,
// no sanitizer report, every table index in range, and every message he answers with whole.
#include "net/Protocol.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "sim/SimPorts.h"
#include "tests/net/fuzz/FuzzWorld.h"

using namespace kv;

namespace {

class Screen final : public ClientPort {
public:
    void sendToHost(const Message& m) override { fuzz::checkSent(m); }
    void showLine(std::string_view t, uint32_t) override {
        if (t.size() > kTextBytes)
            std::abort();
    }
    void playInterfaceSound(uint8_t no) override {
        if (no >= 10)
            std::abort();
    }
    void playEffectAt(uint8_t slot, uint8_t no) override {
        if (slot >= kSlots || no >= 22)
            std::abort();
    }
    void playPresetVoice(uint8_t c, uint8_t i, uint8_t v) override {
        if (c >= 7 || i >= 7 || v >= 3)
            std::abort();
    }
    void showHit(uint8_t slot, const HitShown&) override {
        if (slot >= kSlots)
            std::abort();
    }
    void lookChanged(uint8_t slot) override {
        if (slot >= kSlots)
            std::abort();
    }
};

class Anim final : public ActionPlayer {
public:
    int currentAction(uint8_t) const override { return 0; }
    void setAction(uint8_t slot, const PlayerAction&, bool) override {
        if (slot >= kSlots)
            std::abort();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Game game;
    FakeClock clock{1000};
    Random random{1};
    Anim anim;
    Screen screen;
    ClientProtocol client(game, fuzz::content(), clock, random, anim, screen);
    fuzz::Steps steps({data, size});
    uint8_t control;
    while (steps.next(control)) {
        clock.advance(control);
        client.applyOnClient(steps.message());
        if (game.localSlot != kNoSlot && game.localSlot >= kSlots)
            std::abort();
        for (const PlayerEquip& e : game.equips)
            if (e.weapon >= 3 || e.shield >= 2 || e.weaponClass > 5)
                std::abort();
    }
    return 0;
}

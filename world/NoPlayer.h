#pragma once
#include "net/Protocol.h"
#include "sim/SimPorts.h"

#include <cstdint>
#include <string_view>

namespace kv {

// The world's doors to sound, chat and a player's screen, all shut: a dedicated host has no
// player of its own, and headless players and benchmarks look only at the tables. Override
// showLine to keep the log's lines.
class NoPlayer : public SoundOut, public ControlLink, public ClientPort {
public:
    void playEffect(int, uint8_t, bool) override {}
    void stopEffect(int, uint8_t) override {}
    void showLine(std::string_view, uint32_t) override {}
    bool chatTyping() const override { return false; }
    bool chatLineClosed() const override { return true; }
    void closeChatLine() override {}
    void sendToHost(const Message&) override {}
    void playInterfaceSound(uint8_t) override {}
    void playEffectAt(uint8_t, uint8_t) override {}
    void playPresetVoice(uint8_t, uint8_t, uint8_t) override {}
    void showHit(uint8_t, const HitShown&) override {}
    void lookChanged(uint8_t) override {}
};

} // namespace kv

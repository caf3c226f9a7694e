#include "platform/audio/MidiRender.h"

#include <fluidsynth.h>
#include <memory>

namespace kv {
namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 1024;

struct SettingsDel {
    void operator()(fluid_settings_t* s) const { delete_fluid_settings(s); }
};
struct SynthDel {
    void operator()(fluid_synth_t* s) const { delete_fluid_synth(s); }
};
struct PlayerDel {
    void operator()(fluid_player_t* p) const { delete_fluid_player(p); }
};

void appendBlock(fluid_synth_t* synth, PcmSound& out) {
    int16_t block[kBlock * 2];
    fluid_synth_write_s16(synth, kBlock, block, 0, 2, block, 1, 2);
    const auto* bytes = reinterpret_cast<const uint8_t*>(block);
    out.data.insert(out.data.end(), bytes, bytes + sizeof block);
}

// The header chunk and every track it announces must be there whole; FluidSynth itself
// "plays" a broken file as silence.
bool wellFormed(std::string_view f) {
    auto be32 = [&](size_t at) {
        const auto* b = reinterpret_cast<const uint8_t*>(f.data() + at);
        return static_cast<uint32_t>(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
    };
    if (f.size() < 14 || f.substr(0, 4) != "MThd" || be32(4) < 6)
        return false;
    int tracks = static_cast<uint8_t>(f[10]) << 8 | static_cast<uint8_t>(f[11]);
    size_t pos = 8 + be32(4);
    for (int t = 0; t < tracks; ++t) {
        if (pos + 8 > f.size() || f.substr(pos, 4) != "MTrk" || be32(pos + 4) > f.size() - pos - 8)
            return false;
        pos += 8 + be32(pos + 4);
    }
    return tracks > 0;
}

} // namespace

MidiResult renderMidi(std::string_view midiFile, const std::string& soundFont, PcmSound& out,
                      std::string& reason, int maxSeconds) {
    if (!wellFormed(midiFile)) {
        reason = "not a standard MIDI file";
        return MidiResult::BadFile;
    }
    // FluidSynth reports on stderr by default; its failures surface through return values.
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, nullptr, nullptr);

    std::unique_ptr<fluid_settings_t, SettingsDel> settings(new_fluid_settings());
    if (!settings) {
        reason = "FluidSynth settings could not be created";
        return MidiResult::NoSynth;
    }
    fluid_settings_setnum(settings.get(), "synth.sample-rate", kRate);
    fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
    fluid_settings_setint(settings.get(), "synth.lock-memory", 0);
    // The default gain leaves headroom for dense scores; one track of music can be louder.
    fluid_settings_setnum(settings.get(), "synth.gain", 0.6);
    std::unique_ptr<fluid_synth_t, SynthDel> synth(new_fluid_synth(settings.get()));
    if (!synth || fluid_synth_sfload(synth.get(), soundFont.c_str(), 1) == FLUID_FAILED) {
        reason = "the sound font " + soundFont + " could not be loaded";
        return MidiResult::NoSynth;
    }
    std::unique_ptr<fluid_player_t, PlayerDel> player(new_fluid_player(synth.get()));
    if (!player ||
        fluid_player_add_mem(player.get(), midiFile.data(), midiFile.size()) != FLUID_OK ||
        fluid_player_play(player.get()) != FLUID_OK) {
        reason = "the MIDI file could not be read";
        return MidiResult::BadFile;
    }

    out = PcmSound{2, kRate, 16, {}};
    const long maxBlocks = static_cast<long>(maxSeconds) * kRate / kBlock;
    long blocks = 0;
    while (fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING && blocks < maxBlocks) {
        appendBlock(synth.get(), out);
        ++blocks;
    }
    fluid_player_stop(player.get());
    if (out.data.empty()) {
        reason = "the MIDI file has nothing to play";
        return MidiResult::BadFile;
    }
    return MidiResult::Rendered;
}

} // namespace kv

// Plays the game's own sounds from the content tree the way the game uses them and records
// what came out through OpenAL Soft's wave writer, then prints the load times and the level of
// every sound heard. Run from the game folder:
//   ../tests/audio/audio_listen /tmp/kv-listen.wav
#include "audio/AudioLoads.h"
#include "audio/SoundSystem.h"
#include "audio/WaveFile.h"
#include "platform/Text.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace kv;
using Clock = std::chrono::steady_clock;

namespace {

struct Event {
    const char* what;
    int atMs;
};

double dbfs(int peak) {
    return peak > 0 ? 20 * std::log10(peak / 32767.0) : -120;
}

} // namespace

int main(int argc, char** argv) {
    std::string out = argc > 1 ? argv[1] : "/tmp/kv-listen.wav";
    std::string conf = out + ".conf";
    std::ofstream(conf) << "[general]\nchannels = stereo\nsample-type = int16\nfrequency = 44100\n"
                           "[wave]\nfile = "
                        << out << "\n";
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", conf.c_str(), 1);

    Game game;
    SoundOptions options; // the defaults: music 60, sound 80, voice 100
    PresetTable presets;
    RecordingMessageBoxes boxes;
    SoundSystem sound(game, options, presets, boxes);
    MissingFileMessage missing;
    LoadHooks hooks;
    plugAudioLoads(hooks, sound, presets, missing);

    auto ms = [](Clock::time_point since) {
        return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
    };
    Clock::time_point t = Clock::now();
    hooks.createSound();
    Clock::time_point opened = Clock::now();
    int loaded = 0;
    for (auto list : {hooks.effectSounds, hooks.otherSounds, hooks.voices})
        for (LoadFile& f : list()) {
            if (!f.load()) {
                std::printf("missing or unplayable: %s%s\n", f.folder.c_str(), f.name.c_str());
                return 1;
            }
            ++loaded;
        }
    std::printf("output opened in %.1f ms; %d sound and voice files loaded in %.1f ms\n",
                std::chrono::duration<double, std::milli>(opened - t).count(), loaded, ms(opened));
    if (!hooks.createMusic())
        return 1;
    for (LoadFile& f : hooks.music()) {
        Clock::time_point m = Clock::now();
        if (!f.load()) {
            std::printf("missing or unplayable: %s%s\n", f.folder.c_str(), f.name.c_str());
            return 1;
        }
        std::printf("music %s loaded in %.1f ms\n", f.name.c_str(), ms(m));
    }
    for (const auto& b : boxes.shown)
        std::printf("message: %s\n", cp932ToUtf8(b.text).c_str());

    // Slot 0 is the listener; slot 1 stands two units (400 world units) in front of it.
    game.localSlot = 0;
    game.players[1].z = -400;
    sound.updateListener(0);

    // Times are read from how far the writer has mixed (its file's size), not from the clock:
    // on a busy machine its thread runs late and then mixes the backlog at once.
    auto mixed = [&out] {
        std::error_code ec;
        auto size = static_cast<long>(std::filesystem::file_size(out, ec));
        constexpr long header = 12 + 8 + 40 + 8, bytesPerMs = 44100 * 4 / 1000;
        return ec || size < header ? 0 : static_cast<int>((size - header) / bytesPerMs);
    };
    std::vector<Event> events;
    auto at = [&](const char* what) { events.push_back({what, mixed()}); };
    auto wait = [&](int msWait) {
        for (int target = mixed() + msWait, i = 0; mixed() < target && i < 4000; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };

    wait(200);
    at("title music (track 0) starts");
    sound.playTrack(0);
    wait(1500);
    for (int i = 0; i < 4; ++i) {
        at("menu picture arrives (Menu2)");
        sound.restartInterfaceSound(UiMenu2);
        wait(160);
    }
    wait(400);
    at("menu hover (Menu1)");
    sound.restartInterfaceSound(UiMenu1);
    wait(600);
    at("menu click (MenuClick)");
    sound.restartInterfaceSound(UiMenuClick);
    wait(800);
    at("title music stops");
    sound.stopTrack(0);
    wait(400);
    for (int i = 0; i < 6; ++i) {
        at(i % 3 == 0   ? "footstep Walk1, slot 1"
           : i % 3 == 1 ? "footstep Walk2, slot 1"
                        : "footstep Walk3, slot 1");
        sound.restartEffect(static_cast<uint8_t>(SndWalk1 + i % 3), 1);
        wait(350);
    }
    at("landing JumpEnd, slot 1");
    sound.restartEffect(SndJumpEnd, 1);
    wait(600);
    at("swing Swing_00, slot 1");
    sound.restartEffect(SndSwing, 1);
    wait(700);
    at("taunt Tyohatu, slot 1");
    sound.restartEffect(SndTaunt, 1);
    wait(1500);
    at("preset voice 1-1 (scc_Yes)");
    sound.playPresetVoice(0, 0, 0);
    wait(1200);
    at("end");
    sound.releaseAll();

    std::ifstream in(out, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    PcmSound pcm;
    if (!parseWave(bytes, pcm) || pcm.bitsPerSample != 16) {
        std::printf("no recording in %s\n", out.c_str());
        return 1;
    }
    const auto* s = reinterpret_cast<const int16_t*>(pcm.data.data());
    size_t frames = pcm.data.size() / pcm.frameBytes();
    auto peak = [&](int fromMs, int toMs) {
        int p = 0;
        for (size_t f = static_cast<size_t>(fromMs) * pcm.sampleRate / 1000;
             f < std::min(frames, static_cast<size_t>(toMs) * pcm.sampleRate / 1000); ++f)
            for (int c = 0; c < pcm.channels; ++c)
                p = std::max(p, std::abs(static_cast<int>(s[f * pcm.channels + c])));
        return p;
    };
    std::printf("recording %s: %.2f s\n", out.c_str(),
                static_cast<double>(frames) / pcm.sampleRate);
    std::printf("%8s %8s  %-34s %s\n", "at ms", "to ms", "event", "peak dBFS");
    for (size_t i = 0; i + 1 < events.size(); ++i)
        std::printf("%8d %8d  %-34s %6.1f\n", events[i].atMs, events[i + 1].atMs, events[i].what,
                    dbfs(peak(events[i].atMs, events[i + 1].atMs)));
    std::printf("%8d %8d  %-34s %6.1f\n", 0, events[0].atMs, "(before anything plays)",
                dbfs(peak(0, events[0].atMs)));
    std::remove(conf.c_str());
    return 0;
}

// The fight and interface sounds, synthesised. Each recipe is a short description of what is
// heard: a footstep is a soft low thump with a little grit, a shield clang is a struck plate whose
// ring grows deeper and longer with the blow's strength.
#include "tools/contentgen/Generator.h"
#include "tools/contentgen/core/Synth.h"
#include "tools/contentgen/voices/Speech.h"

#include "audio/SoundFiles.h"

#include <stdexcept>
#include <string>

namespace kv::gen {
namespace {

// Metal plates and blades ring with these partials (ratios to the base pitch).
const std::vector<float> kPlate = {1.0f, 2.32f, 3.95f, 5.41f, 7.13f};
const std::vector<float> kBlade = {1.0f, 2.76f, 5.40f, 8.93f};

void step(Synth& s, float at, float weight, uint32_t seed) {
    s.tone(at, 0.12f, {0.002f, 0.03f + 0.02f * weight}, 0.8f + 0.4f * weight, 140 - 40 * weight,
           60 - 20 * weight);
    s.noise(at, 0.09f, {0.001f, 0.02f}, 0.5f, 300, 2500, seed);
}

Sound footsteps(float weight, float interval, uint32_t seed) {
    // Two steps that loop: the game plays the file over and over while walking.
    Synth s(2 * interval);
    step(s, 0.0f, weight, seed);
    step(s, interval, weight * 0.9f, seed + 1);
    return s.finish(1.5f, 0.7f);
}

Sound landing() {
    Synth s(0.45f);
    s.tone(0, 0.3f, {0.002f, 0.08f}, 1.0f, 110, 45);
    s.noise(0, 0.35f, {0.002f, 0.08f}, 0.6f, 200, 3000, 3);
    s.noise(0.03f, 0.3f, {0.01f, 0.1f}, 0.25f, 1500, 6000, 4); // grit settling
    return s.finish(2.0f, 0.8f);
}

Sound bodyFall(float weight) {
    Synth s(0.7f);
    s.noise(0, 0.2f, {0.02f, 0.06f}, 0.3f, 400, 3000, 5); // cloth
    s.tone(0.08f, 0.4f, {0.002f, 0.1f + 0.05f * weight}, 1.0f, 95 - 25 * weight, 40);
    s.noise(0.08f, 0.4f, {0.002f, 0.1f}, 0.5f, 100, 1200, 6);
    if (weight > 0.5f)
        s.tone(0.22f, 0.3f, {0.002f, 0.06f}, 0.5f, 80, 40); // a bounce
    return s.finish(2.2f, 0.85f);
}

Sound shieldClang(int strength) { // 1..5
    float k = static_cast<float>(strength);
    Synth s(0.5f + 0.25f * k);
    s.noise(0, 0.05f, {0.0005f, 0.012f}, 0.9f, 800, 9000, 7 + static_cast<uint32_t>(strength));
    s.strike(0, 900 - 110 * k, kPlate, 0.15f + 0.08f * k, 0.5f + 0.1f * k);
    s.tone(0, 0.25f, {0.001f, 0.05f + 0.02f * k}, 0.3f * k, 160, 70); // the arm takes the blow
    return s.finish(1.2f + 0.3f * k, 0.6f + 0.07f * k);
}

Sound swish(float length, float pitch, uint32_t seed) {
    Synth s(length + 0.05f);
    s.noise(0, length, {length * 0.45f, length * 0.25f}, 1.0f, 400 * pitch, 2200 * pitch, seed,
            2.0f);
    return s.finish(1.0f, 0.7f);
}

Sound punch() {
    Synth s(0.3f);
    s.tone(0, 0.2f, {0.001f, 0.05f}, 1.0f, 180, 60);
    s.noise(0, 0.06f, {0.0005f, 0.015f}, 0.8f, 500, 5000, 9);
    return s.finish(2.5f, 0.9f);
}

Sound slice(float weight, uint32_t seed) {
    Synth s(0.3f + 0.3f * weight);
    s.noise(0, 0.12f + 0.1f * weight, {0.004f, 0.05f}, 0.9f, 1500 - 800 * weight, 9000, seed, 0.5f);
    s.tone(0.01f, 0.2f, {0.001f, 0.05f + 0.05f * weight}, 0.8f + 0.5f * weight, 160 - 60 * weight,
           60);
    s.strike(0, 2400 - 1500 * weight, kBlade, 0.05f + 0.12f * weight, 0.25f);
    return s.finish(1.8f, 0.88f);
}

Sound clawRip() {
    Synth s(0.35f);
    for (int i = 0; i < 3; ++i)
        s.noise(0.04f * static_cast<float>(i), 0.12f, {0.003f, 0.03f}, 0.8f, 2500, 10000,
                11 + static_cast<uint32_t>(i), 0.6f);
    s.tone(0, 0.15f, {0.001f, 0.04f}, 0.8f, 150, 70);
    return s.finish(1.6f, 0.85f);
}

Sound axeChop() {
    Synth s(0.45f);
    s.tone(0, 0.25f, {0.001f, 0.06f}, 1.0f, 130, 55);
    s.noise(0, 0.1f, {0.001f, 0.025f}, 0.8f, 600, 4000, 13);
    s.strike(0.002f, 620, kPlate, 0.08f, 0.2f);
    s.noise(0.02f, 0.2f, {0.002f, 0.05f}, 0.35f, 1200, 3500, 14); // splinters
    return s.finish(2.2f, 0.9f);
}

Sound hammerSmash() {
    Synth s(0.9f);
    s.tone(0, 0.7f, {0.002f, 0.2f}, 1.2f, 90, 32);
    s.noise(0, 0.5f, {0.001f, 0.12f}, 0.8f, 60, 1500, 15, 0.5f);
    s.strike(0, 300, kPlate, 0.12f, 0.15f);
    return s.finish(3.0f, 0.95f);
}

Sound spearStab() {
    Synth s(0.35f);
    s.noise(0, 0.08f, {0.02f, 0.02f}, 0.7f, 1500, 7000, 16, 2.0f);
    s.tone(0.05f, 0.2f, {0.001f, 0.05f}, 1.0f, 170, 70);
    s.noise(0.05f, 0.08f, {0.001f, 0.02f}, 0.6f, 400, 3000, 17);
    return s.finish(2.0f, 0.88f);
}

Sound notes(const std::vector<float>& freqs, float spacing, float length, float bright,
            float gain = 0.6f) {
    Synth s(spacing * static_cast<float>(freqs.size()) + length);
    for (size_t i = 0; i < freqs.size(); ++i) {
        float at = spacing * static_cast<float>(i);
        s.tone(at, length, {0.005f, length * 0.3f}, gain, freqs[i], freqs[i], bright);
        s.tone(at, length, {0.005f, length * 0.2f}, gain * 0.3f, freqs[i] * 2, freqs[i] * 2);
    }
    return s.finish(1.0f, 0.7f);
}

Sound fanfare(bool rising) {
    // A brass-like chord with a drum hit: bright odd harmonics and a slow swell.
    Synth s(1.6f);
    std::vector<float> chord = rising ? std::vector<float>{261.6f, 329.6f, 392.0f, 523.3f}
                                      : std::vector<float>{392.0f, 311.1f, 261.6f, 196.0f};
    for (size_t i = 0; i < chord.size(); ++i) {
        float at = rising ? 0.12f * static_cast<float>(i) : 0.18f * static_cast<float>(i);
        s.tone(at, 1.2f - at * 0.5f, {0.03f, 0.45f}, 0.45f, chord[i], chord[i], 0.9f);
    }
    s.tone(0, 0.5f, {0.002f, 0.15f}, 0.9f, 110, 50);
    s.noise(0, 0.8f, {0.002f, 0.3f}, 0.35f, 3000, 12000, 21); // cymbal
    return s.finish(1.3f, 0.85f);
}

Sound readyRoll() {
    Synth s(1.2f);
    for (int i = 0; i < 14; ++i)
        s.noise(0.06f * static_cast<float>(i), 0.08f, {0.001f, 0.03f},
                0.3f + 0.05f * static_cast<float>(i), 150, 2500, 30 + static_cast<uint32_t>(i));
    s.tone(0.84f, 0.3f, {0.002f, 0.1f}, 1.0f, 120, 60);
    s.noise(0.84f, 0.3f, {0.001f, 0.1f}, 0.5f, 2000, 9000, 50);
    return s.finish(1.5f, 0.85f);
}

Sound titleStinger() {
    Synth s(2.5f);
    s.noise(0, 0.6f, {0.5f, 0.05f}, 0.6f, 300, 3000, 60, 4.0f); // rising whoosh
    s.tone(0.6f, 1.8f, {0.002f, 0.5f}, 1.0f, 70, 40);           // boom
    s.noise(0.6f, 1.8f, {0.001f, 0.6f}, 0.5f, 2500, 12000, 61); // crash
    for (float f : {130.8f, 196.0f, 261.6f, 329.6f})
        s.tone(0.6f, 1.8f, {0.02f, 0.7f}, 0.3f, f, f, 0.8f);
    return s.finish(1.4f, 0.9f);
}

Sound taunt() {
    Voice v;
    v.name = "en-us+m7";
    v.pitch = 60;
    v.speed = 170;
    return speak("Ha ha! Come on!", v);
}

struct Recipe {
    std::string_view file;
    Sound (*make)();
};

const Recipe kRecipes[] = {
    {"Walk1.wav", [] { return footsteps(0.3f, 0.38f, 1); }},
    {"Walk2.wav", [] { return footsteps(0.1f, 0.32f, 3); }},
    {"Walk3.wav", [] { return footsteps(0.9f, 0.46f, 5); }},
    {"JumpEnd.wav", landing},
    {"Down1.wav", [] { return bodyFall(0.3f); }},
    {"Down2.wav", [] { return bodyFall(0.8f); }},
    {"SD1.wav", [] { return shieldClang(1); }},
    {"SD2.wav", [] { return shieldClang(2); }},
    {"SD3.wav", [] { return shieldClang(3); }},
    {"SD4.wav", [] { return shieldClang(4); }},
    {"SD5.wav", [] { return shieldClang(5); }},
    {"Fist_00.wav", punch},
    {"Knife_00.wav", [] { return slice(0.0f, 41); }},
    {"Sword_00.wav", [] { return slice(0.45f, 42); }},
    {"GreatSword_00.wav", [] { return slice(1.0f, 43); }},
    {"IronCrow_00.wav", clawRip},
    {"HandAxe_00.wav", axeChop},
    {"BigHammer_00.wav", hammerSmash},
    {"Spear_00.wav", spearStab},
    {"Swing_00.wav", [] { return swish(0.28f, 1.0f, 44); }},
    {"down00.wav", [] { return bodyFall(1.0f); }},
    {"Tyohatu.wav", taunt},
    {"UserStart.wav",
     [] {
         return notes({523.3f, 784.0f}, 0.09f, 0.35f, 0.2f);
     }},
    {"UserEnd.wav",
     [] {
         return notes({784.0f, 523.3f}, 0.09f, 0.35f, 0.2f);
     }},
    {"ChatMes.wav", [] { return notes({1046.5f}, 0.05f, 0.12f, 0.0f); }},
    {"GameReady.wav", readyRoll},
    {"GameStart.wav", [] { return fanfare(true); }},
    {"GameEnd.wav", [] { return fanfare(false); }},
    {"Title.wav", titleStinger},
    {"Menu1.wav", [] { return notes({1318.5f}, 0.03f, 0.06f, 0.5f, 0.4f); }},
    {"Menu2.wav", [] { return swish(0.12f, 1.6f, 45); }},
    {"MenuClick.wav",
     [] {
         return notes({880.0f, 1318.5f}, 0.04f, 0.12f, 0.6f);
     }},
};

Sound make(std::string_view file) {
    for (const Recipe& r : kRecipes)
        if (r.file == file)
            return r.make();
    throw std::runtime_error("no recipe for sound " + std::string(file));
}

} // namespace

void makeSoundEffects(Context& ctx) {
    // The audio tables name the files; every name gets its recipe.
    for (std::string_view f : kEffectFiles)
        ctx.out.write(std::string(kSoundFolder) + std::string(f), encodeWav(make(f)));
    for (std::string_view f : kInterfaceFiles)
        ctx.out.write(std::string(kSoundFolder) + std::string(f), encodeWav(make(f)));
}

} // namespace kv::gen

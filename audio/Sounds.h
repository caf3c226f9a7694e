#pragma once
#include <cstdint>
#include <vector>

namespace kv {

// What the rest of the game asks of the sound: the title menu, the simulation's footsteps and
// swings, and the message handling's chat cues, hits and voices. Sound numbers are those of
// audio/SoundFiles.h. The SoundSystem plays them; tests plug in RecordingSounds.
class Sounds {
public:
    virtual ~Sounds() = default;

    // One slot's copy of an effect, placed where that player stands.
    virtual void playEffect(uint8_t no, uint8_t slot, bool loop) = 0;
    // Stops the copy and rewinds it, so the next play starts from the beginning.
    virtual void stopEffect(uint8_t no, uint8_t slot) = 0;
    // An interface sound, heard at the local player.
    virtual void playInterfaceSound(uint8_t no, bool loop) = 0;
    virtual void stopInterfaceSound(uint8_t no) = 0;
    // The voice of a preset phrase, on the other copy than the previous phrase so that two
    // lines can sound at once. A phrase without a voice plays nothing.
    virtual void playPresetVoice(int category, int item, int variant) = 0;
    // Music: track 0 loops on the title; playing a track that plays changes nothing.
    virtual void playTrack(int track) = 0;
    virtual void stopTrack(int track) = 0;

    // The usual way to sound an effect or an interface sound: from the start, once.
    void restartEffect(uint8_t no, uint8_t slot) {
        stopEffect(no, slot);
        playEffect(no, slot, false);
    }
    void restartInterfaceSound(uint8_t no) {
        stopInterfaceSound(no);
        playInterfaceSound(no, false);
    }
};

// Remembers every request, for tests of the code that makes them.
class RecordingSounds final : public Sounds {
public:
    enum class Kind {
        PlayEffect,
        StopEffect,
        PlayInterface,
        StopInterface,
        Voice,
        PlayTrack,
        StopTrack
    };
    struct Request {
        Kind kind;
        int a = 0, b = 0, c = 0; // sound and slot, sound, phrase numbers or track
        bool loop = false;
        bool operator==(const Request&) const = default;
    };
    void playEffect(uint8_t no, uint8_t slot, bool loop) override {
        requests.push_back({Kind::PlayEffect, no, slot, 0, loop});
    }
    void stopEffect(uint8_t no, uint8_t slot) override {
        requests.push_back({Kind::StopEffect, no, slot});
    }
    void playInterfaceSound(uint8_t no, bool loop) override {
        requests.push_back({Kind::PlayInterface, no, 0, 0, loop});
    }
    void stopInterfaceSound(uint8_t no) override { requests.push_back({Kind::StopInterface, no}); }
    void playPresetVoice(int category, int item, int variant) override {
        requests.push_back({Kind::Voice, category, item, variant});
    }
    void playTrack(int track) override { requests.push_back({Kind::PlayTrack, track}); }
    void stopTrack(int track) override { requests.push_back({Kind::StopTrack, track}); }

    std::vector<Request> requests;
};

} // namespace kv

#pragma once
#include "platform/audio/Pcm.h"

#include <memory>
#include <string>
#include <vector>

namespace kv {

// Positions and directions in the game's left-handed space: x right, y up, z forward.
struct AudioVec {
    float x = 0, y = 0, z = 0;
};

// Handles; 0 is none.
using AudioBuffer = int;
using AudioSource = int;

// The sound output the game uses: sample buffers, and sources that play them at a position
// relative to one listener, each with its own gain and looping. Many sources may share one
// buffer. Distance attenuation is inverse distance from 1 unit on.
class AudioDevice {
public:
    virtual ~AudioDevice() = default;

    // 0 when the format cannot be played.
    virtual AudioBuffer createBuffer(const PcmSound& pcm) = 0;
    // A positional source sits in the world; the other kind plays as is (music).
    virtual AudioSource createSource(AudioBuffer buffer, bool positional) = 0;

    virtual void setGain(AudioSource s, float gain) = 0;
    virtual void setPosition(AudioSource s, AudioVec pos) = 0;
    // Starts from the current position; a source that already plays only takes the new
    // looping flag.
    virtual void play(AudioSource s, bool loop) = 0;
    // Stops and rewinds to the start.
    virtual void stop(AudioSource s) = 0;
    virtual bool isPlaying(AudioSource s) = 0;

    virtual void setListener(AudioVec pos, AudioVec front, AudioVec up) = 0;
};

// OpenAL Soft on the default output. nullptr, with the reason, when no output can be opened.
// One such device is open at a time in a process.
std::unique_ptr<AudioDevice> openAudioDevice(std::string& reason);

// The stand-in where nothing may sound (no output, dedicated host, tests of logic): accepts
// every call and never plays.
class SilentAudioDevice final : public AudioDevice {
public:
    AudioBuffer createBuffer(const PcmSound& pcm) override {
        return pcm.playable() ? ++buffers_ : 0;
    }
    AudioSource createSource(AudioBuffer buffer, bool) override { return buffer ? ++sources_ : 0; }
    void setGain(AudioSource, float) override {}
    void setPosition(AudioSource, AudioVec) override {}
    void play(AudioSource, bool) override {}
    void stop(AudioSource) override {}
    bool isPlaying(AudioSource) override { return false; }
    void setListener(AudioVec, AudioVec, AudioVec) override {}

private:
    int buffers_ = 0, sources_ = 0;
};

} // namespace kv

#pragma once
#include "audio/SoundFiles.h"
#include "data/Options.h"
#include "platform/MessageBox.h"
#include "platform/audio/AudioDevice.h"
#include "platform/audio/MidiRender.h"

#include <array>
#include <string>

namespace kv {

// The two music tracks: track 0 (a WAVE file) loops on the title, track 1 (MIDI, rendered
// through the General MIDI sound font) is loaded and kept ready. Both follow the music flag
// and volume of the sound options.
class MusicPlayer {
public:
    MusicPlayer(const SoundOptions& options, MessageBoxes& boxes);

    // The output the tracks play on; tracks loaded on an earlier output are dropped.
    void setDevice(AudioDevice& device);
    void setSoundFont(std::string path) { soundFont_ = std::move(path); }
    const std::string& soundFont() const { return soundFont_; }

    // Checks that MIDI can be rendered (the sound font is there); false after a message.
    bool initMusic();
    // False when the file is missing or unreadable (no message) or the player fails (message).
    bool loadTrack(int track);
    // Starts a loaded track from the beginning if the music flag is on and it does not play.
    void playTrack(int track);
    void stopTrack(int track);
    bool isPlaying(int track);
    void setTrackVolume(int track);
    // After the options were read again: volumes set and the title track started when music is
    // on, every track stopped when it is off.
    void applyOptions();
    void closeMusic();

private:
    void fail(const char* utf8Message);

    const SoundOptions& options_;
    MessageBoxes& boxes_;
    AudioDevice* device_ = nullptr;
    std::string soundFont_ = kGeneralMidiSoundFont;
    std::array<AudioSource, kMusicTracks> sources_{};
    bool initialised_ = false;
};

} // namespace kv

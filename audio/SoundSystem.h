#pragma once
#include "audio/MusicPlayer.h"
#include "audio/SoundFiles.h"
#include "audio/Sounds.h"
#include "data/Options.h"
#include "platform/MessageBox.h"
#include "platform/audio/AudioDevice.h"
#include "shell/GameState.h"
#include "ui/PresetTable.h"

#include <array>
#include <memory>

namespace kv {

// Every sampled sound of the game and the music player: 22 effects with one copy per player
// slot, heard where that player stands; 10 interface sounds and two copies of every preset
// voice, heard at the local player; all relative to one listener. Follows the sound options
// as they stand when a sound is played. Without an audio output it runs silent.
class SoundSystem final : public Sounds {
public:
    SoundSystem(const Game& game, const SoundOptions& options, const PresetTable& presets,
                MessageBoxes& boxes);

    // Opens the default output. Without one the message is shown (once), false is returned and
    // everything after runs silent.
    bool init();
    // Plays through the given output instead (tests, the silent stand-in).
    void useDevice(std::unique_ptr<AudioDevice> device);
    // A dedicated host plays nothing at all.
    void setServerOnly(bool serverOnly) { serverOnly_ = serverOnly; }

    // kind 0: effect index, kind 1: interface sound index, kind 2: loading done. False when the
    // file is missing or not a playable WAVE file.
    bool loadSound(int kind, int index);
    // Both copies of a preset voice; true for a phrase without a voice, and for one already
    // loaded.
    bool loadVoice(int category, int item, int variant);

    void playEffect(uint8_t no, uint8_t slot, bool loop) override;
    void stopEffect(uint8_t no, uint8_t slot) override;
    void playInterfaceSound(uint8_t no, bool loop) override;
    void stopInterfaceSound(uint8_t no) override;
    void playVoice(int category, int item, int variant, int copy);
    void stopVoice(int category, int item, int variant, int copy);
    void playPresetVoice(int category, int item, int variant) override;
    void playTrack(int track) override {
        if (!serverOnly_)
            music_.playTrack(track);
    }
    void stopTrack(int track) override { music_.stopTrack(track); }

    bool isEffectPlaying(uint8_t no, uint8_t slot);
    bool isInterfaceSoundPlaying(uint8_t no);
    bool isVoicePlaying(int category, int item, int variant, int copy);

    // Once per frame with the local slot (255: none): the listener stands at that player, or at
    // the free camera in the spectator camera mode, and faces where the player looks.
    void updateListener(uint8_t slot);

    void setEffectVolume(uint8_t no, uint8_t slot);
    void setInterfaceVolume(uint8_t no);
    void setVoiceVolume(int category, int item, int variant, int copy);
    // After オプション has closed and the options were read again: every effect and interface
    // sound stopped and rewound, their volumes set again when sound or voice is on, the music
    // started, set or stopped. Voices keep the volume they were loaded with.
    void reapplyOptions();

    MusicPlayer& music() { return music_; }
    // Drops every sound and the output (program exit).
    void releaseAll();

private:
    AudioVec worldToAudio(const PlayerState& p) const;
    AudioVec localPosition() const;
    AudioSource& voiceSource(int category, int item, int variant, int copy);
    bool validVoice(int category, int item, int variant, int copy) const;

    const Game& game_;
    const SoundOptions& options_;
    const PresetTable& presets_;
    MessageBoxes& boxes_;
    std::unique_ptr<AudioDevice> device_;
    bool serverOnly_ = false;
    bool failureShown_ = false;
    std::array<std::array<AudioSource, kSlots>, kEffectSounds> effects_{};
    std::array<AudioSource, kInterfaceSounds> interface_{};
    std::array<AudioSource, kPresetCategories * kPresetItems * kPresetVariants * 2> voices_{};
    int nextVoiceCopy_ = 0;
    MusicPlayer music_;
};

} // namespace kv

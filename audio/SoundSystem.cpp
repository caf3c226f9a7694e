#include "audio/SoundSystem.h"

#include "audio/Volume.h"
#include "audio/WaveFile.h"
#include "platform/Text.h"

#include <cmath>

namespace kv {
namespace {

// Sound positions are world coordinates scaled down so that the distance attenuation suits
// the size of the arenas.
constexpr float kWorldPerAudioUnit = 200.0f;
constexpr float kDegToRad = 0.017453292f;

} // namespace

SoundSystem::SoundSystem(const Game& game, const SoundOptions& options, const PresetTable& presets,
                         MessageBoxes& boxes)
    : game_(game), options_(options), presets_(presets), boxes_(boxes),
      device_(std::make_unique<SilentAudioDevice>()), music_(options, boxes) {
    music_.setDevice(*device_);
}

bool SoundSystem::init() {
    std::string reason;
    std::unique_ptr<AudioDevice> device = openAudioDevice(reason);
    if (!device) {
        if (!failureShown_)
            boxes_.show(sjis("DirectSound"),
                        sjis("DirectSound オブジェクトの作成に失敗しました。"));
        failureShown_ = true;
        useDevice(std::make_unique<SilentAudioDevice>());
        return false;
    }
    useDevice(std::move(device));
    return true;
}

void SoundSystem::useDevice(std::unique_ptr<AudioDevice> device) {
    for (auto& copies : effects_)
        copies.fill(0);
    interface_.fill(0);
    voices_.fill(0);
    device_ = std::move(device);
    music_.setDevice(*device_);
}

bool SoundSystem::loadSound(int kind, int index) {
    if (kind == 2)
        return true;
    bool effect = kind == 0;
    if ((effect && (index < 0 || index >= kEffectSounds)) ||
        (kind == 1 && (index < 0 || index >= kInterfaceSounds)) || (kind != 0 && kind != 1))
        return false;
    std::string_view file = effect ? kEffectFiles[index] : kInterfaceFiles[index];
    PcmSound pcm;
    if (!loadWaveFile(std::string(kSoundFolder) + std::string(file), pcm))
        return false;
    AudioBuffer buffer = device_->createBuffer(pcm);
    if (!buffer)
        return false;
    if (effect) {
        for (int slot = 0; slot < kSlots; ++slot) {
            effects_[index][slot] = device_->createSource(buffer, true);
            setEffectVolume(static_cast<uint8_t>(index), static_cast<uint8_t>(slot));
        }
    } else {
        interface_[index] = device_->createSource(buffer, true);
        setInterfaceVolume(static_cast<uint8_t>(index));
    }
    return true;
}

bool SoundSystem::validVoice(int c, int i, int v, int copy) const {
    return c >= 0 && c < kPresetCategories && i >= 0 && i < kPresetItems && v >= 0 &&
           v < kPresetVariants && copy >= 0 && copy < 2;
}

AudioSource& SoundSystem::voiceSource(int c, int i, int v, int copy) {
    return voices_[static_cast<size_t>(((c * kPresetItems + i) * kPresetVariants + v) * 2 + copy)];
}

bool SoundSystem::loadVoice(int c, int i, int v) {
    if (!validVoice(c, i, v, 0))
        return false;
    const std::string& file = presets_.voiceFile(c, i, v);
    if (file.empty() || voiceSource(c, i, v, 0))
        return true;
    PcmSound pcm;
    if (!loadWaveFile(std::string(kVoiceFolder) + file, pcm))
        return false;
    AudioBuffer buffer = device_->createBuffer(pcm);
    if (!buffer)
        return false;
    for (int copy = 0; copy < 2; ++copy) {
        voiceSource(c, i, v, copy) = device_->createSource(buffer, true);
        setVoiceVolume(c, i, v, copy);
    }
    return true;
}

AudioVec SoundSystem::worldToAudio(const PlayerState& p) const {
    return {p.x / kWorldPerAudioUnit, p.y / kWorldPerAudioUnit, p.z / kWorldPerAudioUnit};
}

AudioVec SoundSystem::localPosition() const {
    uint8_t slot = game_.localSlot < kSlots ? game_.localSlot : 0;
    return worldToAudio(game_.players[slot]);
}

void SoundSystem::playEffect(uint8_t no, uint8_t slot, bool loop) {
    if (options_.soundOn != 1 || serverOnly_ || no >= kEffectSounds || slot >= kSlots)
        return;
    AudioSource s = effects_[no][slot];
    device_->setPosition(s, worldToAudio(game_.players[slot]));
    device_->play(s, loop);
}

void SoundSystem::stopEffect(uint8_t no, uint8_t slot) {
    if (no < kEffectSounds && slot < kSlots)
        device_->stop(effects_[no][slot]);
}

void SoundSystem::playInterfaceSound(uint8_t no, bool loop) {
    if (options_.soundOn != 1 || serverOnly_ || no >= kInterfaceSounds)
        return;
    device_->setPosition(interface_[no], localPosition());
    device_->play(interface_[no], loop);
}

void SoundSystem::stopInterfaceSound(uint8_t no) {
    if (no < kInterfaceSounds)
        device_->stop(interface_[no]);
}

void SoundSystem::playVoice(int c, int i, int v, int copy) {
    if (options_.voiceOn != 1 || serverOnly_ || !validVoice(c, i, v, copy))
        return;
    AudioSource s = voiceSource(c, i, v, copy);
    device_->setPosition(s, localPosition());
    device_->play(s, false);
}

void SoundSystem::stopVoice(int c, int i, int v, int copy) {
    if (validVoice(c, i, v, copy))
        device_->stop(voiceSource(c, i, v, copy));
}

void SoundSystem::playPresetVoice(int c, int i, int v) {
    stopVoice(c, i, v, nextVoiceCopy_);
    playVoice(c, i, v, nextVoiceCopy_);
    nextVoiceCopy_ ^= 1;
}

bool SoundSystem::isEffectPlaying(uint8_t no, uint8_t slot) {
    return no < kEffectSounds && slot < kSlots && device_->isPlaying(effects_[no][slot]);
}

bool SoundSystem::isInterfaceSoundPlaying(uint8_t no) {
    return no < kInterfaceSounds && device_->isPlaying(interface_[no]);
}

bool SoundSystem::isVoicePlaying(int c, int i, int v, int copy) {
    return validVoice(c, i, v, copy) && device_->isPlaying(voiceSource(c, i, v, copy));
}

void SoundSystem::updateListener(uint8_t slot) {
    const PlayerState& p = game_.players[slot < kSlots ? slot : 0];
    AudioVec pos = worldToAudio(p);
    if (game_.cameraMode == 2)
        pos = {game_.freeCameraPos[0] / kWorldPerAudioUnit,
               game_.freeCameraPos[1] / kWorldPerAudioUnit,
               game_.freeCameraPos[2] / kWorldPerAudioUnit};
    float yaw = p.yaw * kDegToRad, pitch = p.pitch * kDegToRad;
    AudioVec front{-std::sin(yaw), std::tan(pitch), -std::cos(yaw)};
    device_->setListener(pos, front, {0, 0.1f, 0});
}

void SoundSystem::setEffectVolume(uint8_t no, uint8_t slot) {
    if (no < kEffectSounds && slot < kSlots)
        device_->setGain(effects_[no][slot], gainOf(soundAttenuation(options_.soundVolume)));
}

void SoundSystem::setInterfaceVolume(uint8_t no) {
    if (no < kInterfaceSounds)
        device_->setGain(interface_[no], gainOf(soundAttenuation(options_.soundVolume)));
}

void SoundSystem::setVoiceVolume(int c, int i, int v, int copy) {
    if (validVoice(c, i, v, copy))
        device_->setGain(voiceSource(c, i, v, copy),
                         gainOf(soundAttenuation(options_.voiceVolume)));
}

void SoundSystem::reapplyOptions() {
    bool setVolumes = options_.soundOn == 1 || options_.voiceOn == 1;
    for (uint8_t no = 0; no < kEffectSounds; ++no) {
        for (uint8_t slot = 0; slot < kSlots; ++slot) {
            stopEffect(no, slot);
            if (setVolumes)
                setEffectVolume(no, slot);
        }
    }
    for (uint8_t no = 0; no < kInterfaceSounds; ++no) {
        stopInterfaceSound(no);
        if (setVolumes)
            setInterfaceVolume(no);
    }
    music_.applyOptions();
}

void SoundSystem::releaseAll() {
    music_.closeMusic();
    useDevice(std::make_unique<SilentAudioDevice>());
}

} // namespace kv

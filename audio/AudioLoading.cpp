#include "audio/AudioLoading.h"

#include "data/DataLoader.h"
#include "platform/Text.h"

namespace kv {
namespace {

const std::string kPrefix = "Loading... ";

std::string soundFile(int cursor) {
    return std::string(cursor < kEffectSounds ? kEffectFiles[cursor]
                                              : kInterfaceFiles[cursor - kEffectSounds]);
}

} // namespace

AudioLoading::AudioLoading(SoundSystem& sound, Game& game, const PresetTable& presets)
    : sound_(sound), game_(game), presets_(presets) {}

void AudioLoading::text(const std::string& cp932) {
    copyToField(game_.loadText, sizeof game_.loadText, kPrefix + cp932);
}

int AudioLoading::fail(const std::string& path) {
    message_ = missingFileMessage(path);
    return 0;
}

int AudioLoading::stage0(int step) {
    switch (step) {
    case 7:
        // Without an output the game goes on silent; the message has been shown.
        sound_.init();
        text(sjis("Audio サウンドロード\n") + std::string(kSoundFolder) + soundFile(0));
        return kStepDone;
    case 8:
        return loadNextSound();
    case 9:
        if (!sound_.music().initMusic())
            return fail(kGeneralMidiSoundFont);
        text(sjis("Audio ミュージックロード\n") + std::string(kMusicFolder) +
             std::string(kMusicFiles[0]));
        return kStepDone;
    case 10:
        return loadNextTrack();
    default:
        return kStepDone;
    }
}

int AudioLoading::loadNextSound() {
    constexpr int total = kEffectSounds + kInterfaceSounds;
    int c = soundCursor_;
    bool effect = c < kEffectSounds;
    if (!sound_.loadSound(effect ? 0 : 1, effect ? c : c - kEffectSounds))
        return fail(std::string(kSoundFolder) + soundFile(c));
    soundCursor_ = c + 1;
    if (soundCursor_ == total) {
        sound_.loadSound(2, 0);
        soundCursor_ = 0;
        text(sjis("Audio ミュージック初期化"));
        return kStepDone;
    }
    if (soundCursor_ == kEffectSounds)
        text("Audio \n");
    else
        text(sjis("Audio サウンドロード\n") + std::string(kSoundFolder) + soundFile(soundCursor_));
    return 1;
}

int AudioLoading::loadNextTrack() {
    int t = trackCursor_;
    if (!sound_.music().loadTrack(t))
        return fail(std::string(kMusicFolder) + std::string(kMusicFiles[t]));
    trackCursor_ = t + 1;
    if (trackCursor_ == kMusicTracks) {
        trackCursor_ = 0;
        text(sjis("アニメーションロード"));
        return kStepDone;
    }
    text(sjis("Audio ミュージックロード\n") + std::string(kMusicFolder) +
         std::string(kMusicFiles[trackCursor_]));
    return 1;
}

int AudioLoading::stage1Voices() {
    uint8_t& c = game_.presetCategory;
    uint8_t& i = game_.presetItem;
    uint8_t& v = game_.presetVariant;
    if (!sound_.loadVoice(c, i, v))
        return fail(std::string(kVoiceFolder) + presets_.voiceFile(c, i, v));
    bool more = advancePresetCursor(c, i, v);
    text(sjis("Audio 音声サウンドロード\n") + std::string(kVoiceFolder) +
         presets_.voiceFile(c, i, v));
    return more ? 1 : kStepDone;
}

} // namespace kv

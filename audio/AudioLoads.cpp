#include "audio/AudioLoads.h"

#include <filesystem>

namespace kv {

void plugAudioLoads(LoadHooks& hooks, SoundSystem& sound, const PresetTable& presets,
                    MissingFileMessage& missing) {
    hooks.createSound = [&sound] {
        sound.init();
        return true;
    };
    hooks.effectSounds = [&sound] {
        std::vector<LoadFile> files;
        for (int i = 0; i < kEffectSounds; ++i)
            files.push_back({std::string(kSoundFolder), std::string(kEffectFiles[i]),
                             [&sound, i] { return sound.loadSound(0, i); }});
        return files;
    };
    hooks.otherSounds = [&sound] {
        std::vector<LoadFile> files;
        for (int i = 0; i < kInterfaceSounds; ++i)
            files.push_back({std::string(kSoundFolder), std::string(kInterfaceFiles[i]),
                             [&sound, i] { return sound.loadSound(1, i); }});
        return files;
    };
    hooks.createMusic = [&sound, &missing] {
        if (sound.music().initMusic())
            return true;
        std::filesystem::path font(sound.music().soundFont());
        missing.report(font.parent_path().string() + "/", font.filename().string());
        return false;
    };
    hooks.music = [&sound] {
        std::vector<LoadFile> files;
        for (int t = 0; t < kMusicTracks; ++t)
            files.push_back({std::string(kMusicFolder), std::string(kMusicFiles[t]),
                             [&sound, t] { return sound.music().loadTrack(t); }});
        return files;
    };
    hooks.voices = [&sound, &presets] {
        std::vector<LoadFile> files;
        uint8_t c = 0, i = 0, v = 0;
        do {
            files.push_back({std::string(kVoiceFolder), presets.voiceFile(c, i, v),
                             [&sound, c, i, v] { return sound.loadVoice(c, i, v); }});
        } while (advancePresetCursor(c, i, v));
        return files;
    };
}

} // namespace kv

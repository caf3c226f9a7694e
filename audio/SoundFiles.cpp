#include "audio/SoundFiles.h"

#include "ui/PresetTable.h"

#include <algorithm>

namespace kv {

std::vector<std::string> audioContentPaths() {
    std::vector<std::string> paths;
    auto add = [&](std::string_view folder, std::string_view file) {
        std::string p = std::string(folder) + std::string(file);
        if (std::find(paths.begin(), paths.end(), p) == paths.end())
            paths.push_back(std::move(p));
    };
    for (std::string_view f : kEffectFiles)
        add(kSoundFolder, f);
    for (std::string_view f : kInterfaceFiles)
        add(kSoundFolder, f);
    PresetTable presets;
    for (int c = 0; c < kPresetCategories; ++c)
        for (int i = 0; i < presets.itemCount(c); ++i)
            for (int v = 0; v < presets.variantCount(c, i); ++v)
                add(kVoiceFolder, presets.voiceFile(c, i, v));
    for (std::string_view f : kMusicFiles)
        add(kMusicFolder, f);
    return paths;
}

} // namespace kv

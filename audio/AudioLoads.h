#pragma once
#include "audio/SoundSystem.h"
#include "shell/LoadingStages.h"
#include "ui/PresetTable.h"

namespace kv {

// Plugs the sound system into the loading dialog's steps: opening the output (a machine without
// one goes on silent), the effect and interface sounds, the music player and its two tracks,
// and every preset voice in the order of the preset cursor. A file that cannot be loaded fails
// its step with the missing-file message; so does a missing sound font.
void plugAudioLoads(LoadHooks& hooks, SoundSystem& sound, const PresetTable& presets,
                    MissingFileMessage& missing);

} // namespace kv

#pragma once
#include "platform/audio/Pcm.h"

#include <string_view>

namespace kv {

// Reads a RIFF WAVE file holding integer PCM (format tag 1, or the extensible form with a PCM
// sub-format) that the output can play (see PcmSound::playable). Anything else, including a
// truncated or malformed file, is refused with false; out is then left empty.
bool parseWave(std::string_view bytes, PcmSound& out);

// The same for a content path ("File\Sound\Walk1.wav"); false when it cannot be read.
bool loadWaveFile(std::string_view contentPath, PcmSound& out);

} // namespace kv

#pragma once
#include "tools/contentgen/core/Wav.h"

#include <string>

namespace kv::gen {

// How a line is spoken by espeak-ng.
struct Voice {
    std::string name = "en-us+m3";
    int pitch = 38;  // 0..99
    int speed = 165; // words per minute
    int amplitude = 140;
};

// Runs espeak-ng on the text and returns its 16-bit PCM output; throws when espeak-ng cannot be
// run or gives no sound.
Sound speak(const std::string& text, const Voice& voice);

} // namespace kv::gen

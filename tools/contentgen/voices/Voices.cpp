// The recorded voices of the preset chat phrases. The preset table names the files; each file's
// name says its phrase ("scc_GoodJob.wav" says "Good job!"), except where the name is not the
// words a fighter would shout.
#include "tools/contentgen/Generator.h"
#include "tools/contentgen/voices/Speech.h"

#include "audio/SoundFiles.h"
#include "ui/PresetTable.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

namespace kv::gen {
namespace {

struct Wording {
    const char* stem;
    const char* words;
};

const Wording kWordings[] = {
    {"Ok", "OK!"},
    {"ISupportIt", "I'll cover you!"},
    {"PleaseGuide", "Lead the way!"},
    {"YouWait", "Wait for me!"},
    {"EntrustHereMe", "Leave this to me!"},
    {"I'mColleague", "Hey! I'm on your side!"},
    {"StopAttack", "Stop attacking me!"},
    {"YouBetrayMe", "You betray me?"},
    {"Reinforcement", "We need reinforcements!"},
    {"BackEnemy", "Flank them!"},
    {"Back", "Fall back!"},
    {"Left", "Go left!"},
    {"Right", "Go right!"},
    {"Wait", "Hold on!"},
    {"GoGoGoGoGo", "Go! Go! Go! Go!"},
    {"HaHaHa", "Ha ha ha!"},
    {"YourCowardly", "Coward!"},
    {"Fuckyou", "Damn you!"},
    {"YouWeak", "You're too weak!"},
    {"Saved", "You saved me!"},
    {"Bad", "My bad!"},
    {"ThrowBomb", "Bomb out!"},
    {"NoProblem", "No problem."},
};

// "scc_GoodJob.wav" -> "Good job!"
std::string wordsOf(const std::string& file) {
    std::string stem = file.substr(0, file.rfind('.'));
    if (stem.rfind("scc_", 0) == 0)
        stem = stem.substr(4);
    for (const Wording& w : kWordings)
        if (stem == w.stem)
            return w.words;
    std::string out;
    for (size_t i = 0; i < stem.size(); ++i) {
        char c = stem[i];
        if (i > 0 && std::isupper(static_cast<unsigned char>(c))) {
            out += ' ';
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        out += c;
    }
    return out + "!";
}

// Voice lines are a little louder and brighter than espeak's plain output, like a shout.
Sound shout(const std::string& words) {
    Voice v;
    Sound s = speak(words, v);
    float peak = 1e-6f;
    for (float x : s.samples)
        peak = std::max(peak, std::fabs(x));
    for (float& x : s.samples)
        x = std::tanh(x / peak * 1.6f) * 0.9f;
    return s;
}

} // namespace

void speakVoices(Context& ctx) {
    PresetTable table;
    std::set<std::string> done;
    for (int c = 0; c < kPresetCategories; ++c)
        for (int i = 0; i < table.itemCount(c); ++i)
            for (int v = 0; v < table.variantCount(c, i); ++v) {
                const std::string& file = table.voiceFile(c, i, v);
                if (file.empty() || !done.insert(file).second)
                    continue;
                ctx.out.write(std::string(kVoiceFolder) + file, encodeWav(shout(wordsOf(file))));
            }
}

} // namespace kv::gen

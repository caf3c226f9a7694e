#include "data/Options.h"

#include "data/EntryFiles.h"
#include "platform/Text.h"

#include <variant>
#include <vector>

namespace kv {

const char* const kProfilePath = "File\\Data\\OPT_PlayerData.dat";
const char* const kGraphicsPath = "File\\Data\\OPT_GraphData.dat";
const char* const kSoundPath = "File\\Data\\OPT_SoundData.dat";
const char* const kKeysPath = "File\\Data\\OPT_KeyData.dat";
const char* const kGameOptionsPath = "File\\Data\\OPT_GameData1.dat";

namespace {

// One line of an option file: a byte (a flag when `flag`, any value but 0 reading as 1) or a
// text of at most maxBytes bytes.
struct OptLine {
    std::variant<uint8_t*, std::string*> value;
    bool flag = false;
    size_t maxBytes = 0;
};
OptLine flag(uint8_t& v) {
    return {&v, true};
}
OptLine byte(uint8_t& v) {
    return {&v, false};
}
OptLine text(std::string& v, size_t maxBytes) {
    return {&v, false, maxBytes};
}

std::vector<OptLine> optionLines(ProfileOptions& o) {
    return {text(o.name, kProfileNameMax),
            byte(o.hair),
            text(o.faceFile, kLookFileMax),
            text(o.wearFile, kLookFileMax),
            flag(o.loadHair),
            flag(o.loadFace),
            flag(o.loadWear)};
}
std::vector<OptLine> optionLines(GraphicsOptions& o) {
    return {byte(o.resolution), byte(o.colourDepth), flag(o.windowed),
            flag(o.mipmap),     byte(o.mipmapLevel), byte(o.effectCount)};
}
std::vector<OptLine> optionLines(SoundOptions& o) {
    return {flag(o.musicOn),     byte(o.musicVolume), flag(o.soundOn),
            byte(o.soundVolume), flag(o.voiceOn),     byte(o.voiceVolume)};
}
std::vector<OptLine> optionLines(KeyOptions& o) {
    std::vector<OptLine> lines{flag(o.invertMouseY), byte(o.mouseSensitivity)};
    for (uint8_t& k : o.keyBindings)
        lines.push_back(byte(k));
    return lines;
}
std::vector<OptLine> optionLines(GameOptions& o) {
    return {flag(o.hideChat), flag(o.noNameCheck), flag(o.titleBackLoading), flag(o.hideFps),
            flag(o.noTitleEffects)};
}

template <class O> bool readFile(const char* path, O& out) {
    LineFile f;
    if (!readLineFile(path, f))
        return false;
    std::vector<OptLine> lines = optionLines(out);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto* s = std::get_if<std::string*>(&lines[i].value))
            **s = cp932Truncate(f.text(i), lines[i].maxBytes);
        else if (lines[i].flag)
            *std::get<uint8_t*>(lines[i].value) = f.flag(i) ? 1 : 0;
        else
            *std::get<uint8_t*>(lines[i].value) = f.u8(i);
    }
    return true;
}

template <class O> bool writeFile(const char* path, O values) {
    std::vector<std::string> out;
    for (const OptLine& line : optionLines(values)) {
        if (auto* s = std::get_if<std::string*>(&line.value))
            out.push_back(**s);
        else
            out.push_back(std::to_string(*std::get<uint8_t*>(line.value)));
    }
    return writeLineFile(path, out, kOptionsWriter);
}

} // namespace

bool readOptions(ProfileOptions& out) {
    return readFile(kProfilePath, out);
}
bool readOptions(GraphicsOptions& out) {
    return readFile(kGraphicsPath, out);
}
bool readOptions(SoundOptions& out) {
    return readFile(kSoundPath, out);
}
bool readOptions(KeyOptions& out) {
    return readFile(kKeysPath, out);
}
bool readOptions(GameOptions& out) {
    return readFile(kGameOptionsPath, out);
}

bool writeOptions(const ProfileOptions& in) {
    if (in.name.empty() || in.faceFile.empty() || in.wearFile.empty())
        return false;
    return writeFile(kProfilePath, in);
}
bool writeOptions(const GraphicsOptions& in) {
    return writeFile(kGraphicsPath, in);
}
bool writeOptions(const SoundOptions& in) {
    return writeFile(kSoundPath, in);
}
bool writeOptions(const KeyOptions& in) {
    return writeFile(kKeysPath, in);
}
bool writeOptions(const GameOptions& in) {
    return writeFile(kGameOptionsPath, in);
}

bool readHairNames(std::vector<std::string>& names) {
    LineFile f;
    ContentError error;
    return readLineFile("File\\Data\\LIST_HairName.dat", f) && parseList(f, 255, names, error);
}

DisplayMode displayModeFor(const GraphicsOptions& g, DisplayMode desktop) {
    static constexpr int kSizes[7][2] = {{0, 0},      {640, 480},   {800, 600},  {1024, 768},
                                         {1152, 864}, {1280, 1024}, {1600, 1200}};
    static constexpr int kDepths[4] = {0, 16, 24, 32};
    DisplayMode m = desktop;
    if (g.resolution >= 1 && g.resolution <= 6) {
        m.width = kSizes[g.resolution][0];
        m.height = kSizes[g.resolution][1];
    }
    if (g.colourDepth >= 1 && g.colourDepth <= 3)
        m.depth = kDepths[g.colourDepth];
    return m;
}

} // namespace kv

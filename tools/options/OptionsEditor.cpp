#include "tools/options/OptionsEditor.h"

#include <algorithm>
#include <filesystem>

#include "data/FaceWearList.h"
#include "data/LineFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace kv {
namespace {

constexpr int kMaxListed = 127;
constexpr size_t kFieldNameMax = 127;
const char* const kHairFolder = "File\\Bitmap\\Hair\\";

// The hair pictures: .bmp files with names shorter than 32 characters, sorted so every run
// numbers them alike.
std::vector<std::string> hairPictureFiles() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(hostPath(kHairFolder), ec)) {
        std::string n = e.path().filename().string();
        if (!e.is_regular_file(ec) || n.size() < 4 || n.size() >= 32)
            continue;
        std::string ext = n.substr(n.size() - 4);
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (ext == ".bmp")
            names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    if (names.size() > kMaxListed)
        names.resize(kMaxListed);
    for (std::string& n : names)
        n = kHairFolder + n;
    return names;
}

template <class Names> std::vector<std::string> listOf(const Names& list, bool faceSide) {
    std::vector<std::string> out;
    const int n = faceSide ? list.faceCount() : list.wearCount();
    for (int i = 0; i < n && i < kMaxListed; ++i)
        out.push_back(faceSide ? list.faceFile(i) : list.wearFile(i));
    return out;
}

int positionOf(const std::vector<std::string>& list, const std::string& file) {
    auto it = std::find(list.begin(), list.end(), file);
    return it == list.end() ? 0 : static_cast<int>(it - list.begin());
}

} // namespace

bool effectCountFromField(const std::string& text, int& count) {
    // Past nine digits the reading would wrap; such a number is out of range anyway.
    size_t digits =
        std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits > 9)
        return false;
    count = parseInteger(text);
    return count >= 0 && count <= 16;
}

bool OptionsEditor::start() {
    *this = OptionsEditor();
    // Each folder on its own: a missing face folder must not leave the wear list unread.
    FaceWearList faceList, wearList;
    faceList.build(true, false);
    wearList.build(false, true);
    faces = listOf(faceList, true);
    wears = listOf(wearList, false);
    hairPictures = hairPictureFiles();
    if (!readHairNames(hairNames))
        return false;
    readOptions(profile);
    readOptions(graphics);
    readOptions(sound);
    readOptions(keys);
    readOptions(game);
    nameField = profile.name;
    effectField = std::to_string(graphics.effectCount);
    hair = profile.hair;
    face = positionOf(faces, profile.faceFile);
    wear = positionOf(wears, profile.wearFile);
    applyLoadRules();
    return true;
}

int OptionsEditor::hairChoices() const {
    return static_cast<int>(std::max(hairNames.size(), hairPictures.size()));
}

std::string OptionsEditor::hairLabel(int i) const {
    if (i >= 0 && static_cast<size_t>(i) < hairNames.size())
        return hairNames[static_cast<size_t>(i)];
    // A picture the name list does not name is shown by its file name.
    if (i >= 0 && static_cast<size_t>(i) < hairPictures.size()) {
        std::string p = hairPictures[static_cast<size_t>(i)];
        return p.substr(p.rfind('\\') + 1);
    }
    return {};
}

void OptionsEditor::applyLoadRules() {
    if (!profile.loadHair)
        hair = 0;
    if (!profile.loadFace)
        face = 0;
    if (!profile.loadWear)
        wear = 0;
}

void OptionsEditor::setLoadHair(bool on) {
    profile.loadHair = on;
    applyLoadRules();
}
void OptionsEditor::setLoadFace(bool on) {
    profile.loadFace = on;
    applyLoadRules();
}
void OptionsEditor::setLoadWear(bool on) {
    profile.loadWear = on;
    applyLoadRules();
}

void OptionsEditor::resetTab(OptionsTab tab) {
    switch (tab) {
    case OptionsTab::Player:
        profile = ProfileOptions();
        nameField = profile.name;
        hair = profile.hair;
        face = wear = 0;
        applyLoadRules();
        break;
    case OptionsTab::Screen:
        graphics = GraphicsOptions();
        effectField = std::to_string(graphics.effectCount);
        break;
    case OptionsTab::Sound:
        sound = SoundOptions();
        break;
    case OptionsTab::Record:
        break;
    case OptionsTab::Keys:
        keys = KeyOptions();
        break;
    case OptionsTab::Game:
        game = GameOptions();
        break;
    }
}

std::optional<std::string> OptionsEditor::okProblem() const {
    if (nameField.size() > kProfileNameMax) {
        char text[160];
        std::snprintf(
            text, sizeof text,
            sjis("プレイヤー名が長すぎます！\n半角%d文字までです。\n（現在半角%d文字）").c_str(),
            static_cast<int>(kProfileNameMax), static_cast<int>(nameField.size()));
        return std::string(text);
    }
    // An empty name would end the profile file at its first line and lose the rest.
    if (nameField.empty())
        return sjis("プレイヤー名を入力してください。");
    int count = 0;
    if (!effectCountFromField(effectField, count))
        return sjis("エフェクト表示最大数を0～16以内に設定してください");
    return std::nullopt;
}

bool OptionsEditor::save() {
    int count = 0;
    if (okProblem() || !effectCountFromField(effectField, count))
        return false;
    profile.name = cp932Truncate(nameField, kFieldNameMax);
    profile.hair = static_cast<uint8_t>(hair);
    profile.faceFile = faces.empty() ? ProfileOptions().faceFile : faces[static_cast<size_t>(face)];
    profile.wearFile = wears.empty() ? ProfileOptions().wearFile : wears[static_cast<size_t>(wear)];
    graphics.effectCount = static_cast<uint8_t>(count);
    return writeOptions(profile) && writeOptions(graphics) && writeOptions(sound) &&
           writeOptions(keys) && writeOptions(game);
}

} // namespace kv

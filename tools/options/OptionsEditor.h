#pragma once
#include <optional>
#include <string>
#include <vector>

#include "data/Options.h"

namespace kv {

// The six pages of オプション, in tab order.
enum class OptionsTab { Player, Screen, Sound, Record, Keys, Game };
constexpr int kOptionsTabs = 6;

// オプション's values, lists and checks, without a window. Texts are CP932.
class OptionsEditor {
public:
    // Defaults, the face, wear and hair-picture lists, the hair names and the five files.
    // False when the hair name list cannot be read: the editor ends without writing.
    bool start();

    ProfileOptions profile;
    GraphicsOptions graphics;
    SoundOptions sound;
    KeyOptions keys;
    GameOptions game;
    std::string nameField;            // the name as typed
    std::string effectField;          // the effect count as typed
    int hair = 0, face = 0, wear = 0; // the hair number; positions in the face and wear lists

    std::vector<std::string> faces, wears; // entry 0 is the default file
    std::vector<std::string> hairPictures; // content paths, picture i for hair number i
    std::vector<std::string> hairNames;

    int hairChoices() const; // entries of the hair choice
    std::string hairLabel(int i) const;

    // A load check box: off puts its choice at entry 0 (hair 0, no hair).
    void setLoadHair(bool on);
    void setLoadFace(bool on);
    void setLoadWear(bool on);

    // デフォルト on a page: that page's values only.
    void resetTab(OptionsTab tab);

    // What OK must refuse, as the warning text; nothing when the values can be saved.
    std::optional<std::string> okProblem() const;
    // Takes the values from the fields and writes the five files, profile first. False when a
    // file cannot be written (those before it are already replaced).
    bool save();

private:
    void applyLoadRules();
};

// The effect count field as OK reads it: text without digits is 0; false outside 0 to 16.
bool effectCountFromField(const std::string& text, int& count);
} // namespace kv

#pragma once
#include <imgui.h>

#include <string>

namespace kv {

// The installed Japanese font: IPA Gothic, else Noto Sans CJK JP, else whatever fontconfig
// offers for Japanese. Empty path when none is found.
struct FontFile {
    std::string path;
    int index = 0; // face within a .ttc collection
};
FontFile findJapaneseFont();

// Adds the Japanese font to the atlas with every character CP932 can hold, so any text the
// system stores can be shown. ranges must outlive the atlas. False (ImGui's own font added
// instead) when none is installed.
bool loadJapaneseFont(ImFontAtlas& atlas, float pixels, ImVector<ImWchar>& ranges);

} // namespace kv

#pragma once
#include <imgui.h>

#include <string>
#include <vector>

namespace kv {

// Controls the dialogs share that ImGui lacks. Positions are window-relative pixels: the
// dialogs lay themselves out at fixed places so that tests can click them.

// A row of tabs of equal width at (x, y); returns true when a tab was clicked (current set).
bool tabStrip(const std::vector<std::string>& utf8Labels, int& current, ImVec2 pos, float tabWidth,
              float height);
// The frame of a page under a tab strip.
void pageFrame(ImVec2 min, ImVec2 max);
// A titled frame around a group of controls.
void groupBox(const char* utf8Title, ImVec2 min, ImVec2 max);
// A 40 x 40 (or any size) picture on the dialog's face colour; an empty texture leaves it blank.
void iconFrame(ImTextureID texture, ImVec2 pos, ImVec2 size, bool enabled = true);
// A drop-down list at (x, y) of width w; true when the user picked another entry (current set).
bool choiceCombo(const char* id, float x, float y, float w, const std::vector<std::string>& labels,
                 int& current, bool enabled = true);
// Text wrapped inside a width, at the cursor.
void wrappedText(const std::string& utf8, float width);

} // namespace kv

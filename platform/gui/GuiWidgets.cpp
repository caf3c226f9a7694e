#include "platform/gui/GuiWidgets.h"

namespace kv {

bool tabStrip(const std::vector<std::string>& labels, int& current, ImVec2 pos, float tabWidth,
              float height) {
    bool clicked = false;
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const ImVec2 origin = ImGui::GetWindowPos();
    for (size_t i = 0; i < labels.size(); ++i) {
        const bool active = static_cast<int>(i) == current;
        ImVec2 p(pos.x + i * tabWidth, pos.y);
        ImGui::SetCursorPos(p);
        ImGui::PushID(static_cast<int>(i));
        if (ImGui::InvisibleButton("tab", ImVec2(tabWidth - 2, height))) {
            current = static_cast<int>(i);
            clicked = true;
        }
        const bool hovered = ImGui::IsItemHovered();
        ImGui::PopID();
        ImVec2 a(origin.x + p.x, origin.y + p.y + (active ? 0 : 2));
        ImVec2 b(a.x + tabWidth - 2, origin.y + p.y + height + (active ? 1 : 0));
        ImU32 fill = active
                         ? ImGui::GetColorU32(ImGuiCol_WindowBg)
                         : ImGui::GetColorU32(hovered ? ImGuiCol_ButtonHovered : ImGuiCol_Button);
        dl->AddRectFilled(a, b, fill, 3, ImDrawFlags_RoundCornersTop);
        dl->AddRect(a, ImVec2(b.x, b.y - (active ? 1 : 0)), ImGui::GetColorU32(ImGuiCol_Border), 3,
                    ImDrawFlags_RoundCornersTop);
        if (active) // open the tab into its page
            dl->AddLine(ImVec2(a.x + 1, b.y - 1), ImVec2(b.x - 1, b.y - 1), fill, 2);
        ImVec2 ts = ImGui::CalcTextSize(labels[i].c_str());
        dl->AddText(ImVec2(a.x + (tabWidth - 2 - ts.x) * 0.5f, a.y + (height - ts.y) * 0.5f),
                    ImGui::GetColorU32(ImGuiCol_Text), labels[i].c_str());
    }
    return clicked;
}

void pageFrame(ImVec2 min, ImVec2 max) {
    const ImVec2 o = ImGui::GetWindowPos();
    ImGui::GetWindowDrawList()->AddRect(ImVec2(o.x + min.x, o.y + min.y),
                                        ImVec2(o.x + max.x, o.y + max.y),
                                        ImGui::GetColorU32(ImGuiCol_Border));
}

void groupBox(const char* title, ImVec2 min, ImVec2 max) {
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const ImVec2 o = ImGui::GetWindowPos();
    const ImVec2 ts = ImGui::CalcTextSize(title);
    const float top = o.y + min.y + ts.y * 0.5f;
    const ImU32 border = ImGui::GetColorU32(ImGuiCol_Border);
    const float x0 = o.x + min.x, x1 = o.x + max.x, y1 = o.y + max.y;
    const float t0 = x0 + 8, t1 = t0 + ts.x + 6;
    dl->AddLine(ImVec2(x0, top), ImVec2(t0, top), border);
    dl->AddLine(ImVec2(t1, top), ImVec2(x1, top), border);
    dl->AddLine(ImVec2(x0, top), ImVec2(x0, y1), border);
    dl->AddLine(ImVec2(x1, top), ImVec2(x1, y1), border);
    dl->AddLine(ImVec2(x0, y1), ImVec2(x1, y1), border);
    dl->AddText(ImVec2(t0 + 3, o.y + min.y), ImGui::GetColorU32(ImGuiCol_Text), title);
}

void iconFrame(ImTextureID texture, ImVec2 pos, ImVec2 size, bool enabled) {
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const ImVec2 o = ImGui::GetWindowPos();
    ImVec2 a(o.x + pos.x, o.y + pos.y), b(a.x + size.x, a.y + size.y);
    dl->AddRectFilled(a, b, ImGui::GetColorU32(ImGuiCol_WindowBg));
    if (texture)
        dl->AddImage(texture, a, b, ImVec2(0, 0), ImVec2(1, 1),
                     enabled ? IM_COL32_WHITE : IM_COL32(255, 255, 255, 110));
    dl->AddRect(ImVec2(a.x - 1, a.y - 1), ImVec2(b.x + 1, b.y + 1),
                ImGui::GetColorU32(ImGuiCol_Border));
}

void wrappedText(const std::string& utf8, float width) {
    ImGui::PushTextWrapPos(ImGui::GetCursorPosX() + width);
    ImGui::TextUnformatted(utf8.c_str());
    ImGui::PopTextWrapPos();
}

bool choiceCombo(const char* id, float x, float y, float w, const std::vector<std::string>& labels,
                 int& current, bool enabled) {
    ImGui::SetCursorPos(ImVec2(x, y));
    ImGui::SetNextItemWidth(w);
    ImGui::BeginDisabled(!enabled);
    bool changed = false;
    const char* shown =
        current >= 0 && current < static_cast<int>(labels.size()) ? labels[current].c_str() : "";
    if (ImGui::BeginCombo(id, shown, ImGuiComboFlags_HeightLarge)) {
        for (int i = 0; i < static_cast<int>(labels.size()); ++i) {
            ImGui::PushID(i);
            if (ImGui::Selectable(labels[i].c_str(), i == current)) {
                changed = i != current;
                current = i;
            }
            if (i == current)
                ImGui::SetItemDefaultFocus();
            ImGui::PopID();
        }
        ImGui::EndCombo();
    }
    ImGui::EndDisabled();
    return changed;
}

} // namespace kv

#pragma once
#include <imgui.h>

#include <cstdint>
#include <string_view>

namespace kv {

// A GL texture to show with ImGui::Image: a bitmap file, or pictures uploaded frame by frame.
class GuiTexture {
public:
    GuiTexture() = default;
    ~GuiTexture();
    GuiTexture(const GuiTexture&) = delete;
    GuiTexture& operator=(const GuiTexture&) = delete;
    GuiTexture(GuiTexture&& o) noexcept;
    GuiTexture& operator=(GuiTexture&& o) noexcept;

    // A BMP (or any picture stb_image reads) by content path; with cyanKey, opaque cyan
    // (0, 255, 255) becomes transparent. False leaves the texture empty.
    bool load(std::string_view contentPath, bool cyanKey);
    // Replaces the picture with w x h RGBA pixels, rows top first.
    void upload(const uint8_t* rgba, int w, int h);
    void clear();

    bool empty() const { return tex_ == 0; }
    ImTextureID id() const { return reinterpret_cast<ImTextureID>(static_cast<intptr_t>(tex_)); }
    int width() const { return w_; }
    int height() const { return h_; }

private:
    unsigned tex_ = 0;
    int w_ = 0, h_ = 0;
};

} // namespace kv

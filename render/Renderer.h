#pragma once
#include <array>
#include <memory>
#include <string>

#include <glm/glm.hpp>

#include "platform/gfx/Device.h"
#include "render/TextureTable.h"

namespace kv {

class MessageBoxes;
class Window;

// Options the renderer reads (filled by the shell from the option files).
struct RenderSettings {
    int effectCount = 5; // 0..16 effects per character; 0 shows none
    bool hideFps = false;
    bool hideChat = false;
    bool noTitleEffects = false;
};

// The current map's values the camera needs (set by the shell when a map loads).
struct MapView {
    float verticalOffset = 0;
    int fogMode = 0;
    Colour fogColour = 0xFF000000;
    float fogStart = 0, fogEnd = 0, fogDensity = 0;
};

// Corners of a quad before its world matrix, bottom-left and top-right.
struct QuadCorners {
    float x0, y0, x1, y1;
};

// The device with the game's fixed states, the texture table and the frame bracket.
class Renderer {
public:
    Renderer(Device& device, MessageBoxes& boxes);
    ~Renderer();

    // Opens the drawing device on the window: a hardware visual first, then any visual.
    // On failure shows the device message and returns nullptr.
    static std::unique_ptr<Device> createDevice(Window& window, MessageBoxes& boxes);

    Device& device() { return device_; }

    void setDefaultStates();
    void setProjection(float fovDegrees); // aspect 1.0 whatever the screen's shape
    bool createSpriteAndTextTargets();
    // Rounded up to powers of two between 2 and 2048; replaces what the slot held.
    bool createTextTarget(int slot, int width, int height);
    // 1 loaded, 0 missing (missingFile() names it), 0xFF for an unknown group. Faces and
    // wears (groups 8, 9) take their file name from fileName.
    uint8_t loadTexture(int group, int index, const std::string& fileName = {});
    const std::string& missingFile() const { return missingFile_; }

    bool beginFrame(Colour clear);
    bool endFrame();
    void setFog(Colour colour, int mode, float start, float end, float density);
    void enableFog(bool on);
    void alphaTestOn();
    void alphaTestOff();

    // The view of the HUD and the title: from (0, 0, -1.11) at the origin, +y up.
    void useHudView();
    // A quad of four vertices drawn as a fan bottom-left, bottom-right, top-right, top-left
    // with texture coordinates (0,1), (1,1), (1,0), (0,0) (mirrored: u runs 1 to 0).
    void drawQuad(TextureId t, const QuadCorners& q, Colour colour, const glm::mat4& world,
                  float z = 0, bool mirrored = false);
    // A picture in the 1024 x 768 virtual screen (x right, y down), whatever the window's
    // size; depth 0 is nearest. Leaves culling off and the view and projection on the
    // screen mapping; useHudView() or beginFrame() sets them back.
    void drawScreenQuad(TextureId t, float left, float top, float right, float bottom,
                        Colour colour, float depth = 0);

    // False when a sphere lies wholly outside the view of `view` and `projection`.
    bool inView(const glm::vec3& centre, float radius) const;

    TextureId texture(int slot) const;
    glm::ivec2 textureSize(int slot) const;
    glm::mat4 view{1.0f}, projection{1.0f};
    uint8_t fogMode = 0, fogSet = 0;
    RenderSettings settings;
    MapView map;

private:
    Device& device_;
    MessageBoxes& boxes_;
    std::array<TextureId, kTextureSlots> textures_{};
    std::array<glm::ivec2, kTextureSlots> sizes_{};
    std::string missingFile_;
};

int roundUpPowerOfTwo(int n); // 2..2048

} // namespace kv

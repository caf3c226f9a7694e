#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <glm/glm.hpp>

#include "platform/gfx/Image.h"

namespace kv {

class Window;

using Colour = uint32_t;    // 0xAARRGGBB, as the game writes colours
using TextureId = uint32_t; // 0 = no texture
using MeshId = uint32_t;    // 0 = no mesh

// The vertex of every quad the game draws from memory: 24 bytes.
struct FanVertex {
    float x, y, z;
    Colour diffuse;
    float u, v;
};
static_assert(sizeof(FanVertex) == 24);

// The vertex of meshes: position, normal, one texture coordinate.
struct MeshVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(MeshVertex) == 32);

enum class Cull : uint8_t { None, Clockwise, CounterClockwise }; // which winding is culled
enum class Blend : uint8_t { Zero, One, SrcAlpha, InvSrcAlpha, SrcColour, InvSrcColour };
enum class FogMode : uint8_t { None, Linear, Exp, Exp2 };
enum class Filter : uint8_t { None, Point, Linear };

struct Light {
    bool point = false; // else directional
    glm::vec4 diffuse{0}, specular{0}, ambient{0};
    glm::vec3 position{0}, direction{0, 0, 1};
    float range = 0, attenuation0 = 1, attenuation1 = 0, attenuation2 = 0;
};

struct Material {
    glm::vec4 diffuse{1}, ambient{1}, specular{0}, emissive{0};
    float power = 0;
};

// The fixed-function device the game draws through. Matrices are row-vector matrices
// (v' = v * M), left-handed, with the projection mapping depth to 0..1 (platform/gfx/Matrix.h
// builds them). States hold until changed. Render-target textures read like loaded ones:
// v = 0 is the top row.
class Device {
public:
    virtual ~Device() = default;
    virtual bool headless() const = 0;
    virtual int width() const = 0; // of the screen, in pixels
    virtual int height() const = 0;

    // Clears colour (and depth 1.0) of the current target and starts drawing; false when
    // there is nothing to draw on.
    virtual bool beginFrame(Colour clear) = 0;
    virtual void clear(Colour colour, bool depth) = 0;
    virtual bool present() = 0; // shows the back buffer

    virtual void setWorld(const glm::mat4& m) = 0;
    virtual void setView(const glm::mat4& m) = 0;
    virtual void setProjection(const glm::mat4& m) = 0;

    virtual void setDepthTest(bool on) = 0; // depth function: less
    virtual void setDepthWrite(bool on) = 0;
    virtual void setCull(Cull c) = 0;
    virtual void setBlending(bool on) = 0;
    virtual void setBlendFunc(Blend src, Blend dst) = 0;
    virtual void setAlphaTest(bool on, uint8_t ref) = 0; // passes alpha >= ref
    virtual void setLighting(bool on) = 0;
    virtual void setAmbient(Colour c) = 0;
    virtual void setSpecular(bool on) = 0;
    virtual void setNormalizeNormals(bool on) = 0;
    virtual void setLight(int index, const Light& light) = 0; // index 0..2
    virtual void enableLight(int index, bool on) = 0;
    virtual void setMaterial(const Material& m) = 0;
    virtual void setFog(FogMode mode, Colour colour, float start, float end, float density) = 0;
    virtual void enableFog(bool on) = 0;
    virtual void setTextureFilter(Filter mag, Filter min, Filter mip) = 0;

    // Textures from RGBA pixels (mipmaps: the full chain is built); 0 on failure.
    virtual TextureId createTexture(const Image& image, bool mipmaps) = 0;
    virtual bool updateTexture(TextureId t, const Image& image) = 0; // same size
    virtual TextureId createRenderTarget(int width, int height) = 0;
    virtual void releaseTexture(TextureId t) = 0;
    virtual void setTexture(TextureId t) = 0; // stage 0; 0 draws the vertex colour only
    // Draws into a render-target texture (no depth) until called with 0 (the screen).
    virtual void setRenderTarget(TextureId t) = 0;

    virtual void drawFan(const FanVertex* vertices, int count) = 0;
    virtual MeshId createMesh(const MeshVertex* vertices, size_t vertexCount,
                              const uint16_t* indices, size_t indexCount) = 0;
    virtual void drawMesh(MeshId m, uint32_t firstIndex, uint32_t indexCount) = 0;
    virtual void releaseMesh(MeshId m) = 0;

    // The pixels of the current target, top row first: the back buffer as the window shows it
    // (opaque), a render target with its alpha.
    virtual Image readPixels() = 0;
};

// The OpenGL device on the window's context; nullptr with the reason in error.
std::unique_ptr<Device> createGlDevice(Window& window, std::string* error = nullptr);
// Draws nothing and remembers nothing; hands out texture and mesh ids.
std::unique_ptr<Device> createHeadlessDevice(int width = 1024, int height = 768);

} // namespace kv

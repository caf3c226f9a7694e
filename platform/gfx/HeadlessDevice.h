#pragma once
#include "platform/gfx/Device.h"

namespace kv {

// The dedicated host and logic tests: every call succeeds, nothing is kept.
// Tests derive from it to record the few calls they look at.
class HeadlessDevice : public Device {
public:
    explicit HeadlessDevice(int w = 1024, int h = 768) : width_(w), height_(h) {}
    bool headless() const override { return true; }
    int width() const override { return width_; }
    int height() const override { return height_; }
    bool beginFrame(Colour) override { return true; }
    void clear(Colour, bool) override {}
    bool present() override { return true; }
    void setWorld(const glm::mat4&) override {}
    void setView(const glm::mat4&) override {}
    void setProjection(const glm::mat4&) override {}
    void setDepthTest(bool) override {}
    void setDepthWrite(bool) override {}
    void setCull(Cull) override {}
    void setBlending(bool) override {}
    void setBlendFunc(Blend, Blend) override {}
    void setAlphaTest(bool, uint8_t) override {}
    void setLighting(bool) override {}
    void setAmbient(Colour) override {}
    void setSpecular(bool) override {}
    void setNormalizeNormals(bool) override {}
    void setLight(int, const Light&) override {}
    void enableLight(int, bool) override {}
    void setMaterial(const Material&) override {}
    void setFog(FogMode, Colour, float, float, float) override {}
    void enableFog(bool) override {}
    void setTextureFilter(Filter, Filter, Filter) override {}
    TextureId createTexture(const Image& image, bool) override {
        return image.empty() ? 0 : next_++;
    }
    bool updateTexture(TextureId, const Image&) override { return true; }
    TextureId createRenderTarget(int w, int h) override { return w > 0 && h > 0 ? next_++ : 0; }
    void releaseTexture(TextureId) override {}
    void setTexture(TextureId) override {}
    void setRenderTarget(TextureId) override {}
    void drawFan(const FanVertex*, int) override {}
    MeshId createMesh(const MeshVertex*, size_t n, const uint16_t*, size_t ni) override {
        return n && ni ? next_++ : 0;
    }
    void drawMesh(MeshId, uint32_t, uint32_t) override {}
    void releaseMesh(MeshId) override {}
    Image readPixels() override { return {}; }

protected:
    uint32_t next_ = 1;

private:
    int width_, height_;
};

} // namespace kv

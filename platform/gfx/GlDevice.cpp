#include <cstring>
#include <unordered_map>

#include <epoxy/gl.h>

#include "platform/gfx/Device.h"
#include "platform/gfx/GlShader.h"
#include "platform/gfx/Window.h"

namespace kv {
namespace {

glm::vec4 argb(Colour c) {
    return {((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f,
            ((c >> 24) & 0xFF) / 255.0f};
}

GLenum blendFactor(Blend b) {
    switch (b) {
    case Blend::Zero:
        return GL_ZERO;
    case Blend::One:
        return GL_ONE;
    case Blend::SrcAlpha:
        return GL_SRC_ALPHA;
    case Blend::InvSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case Blend::SrcColour:
        return GL_SRC_COLOR;
    case Blend::InvSrcColour:
        return GL_ONE_MINUS_SRC_COLOR;
    }
    return GL_ONE;
}

GLuint compile(GLenum kind, const char* source, std::string& log) {
    GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char buf[2048] = {};
        glGetShaderInfoLog(s, sizeof buf, nullptr, buf);
        log = buf;
        glDeleteShader(s);
        return 0;
    }
    return s;
}

struct Texture {
    GLuint tex = 0, fbo = 0;
    int width = 0, height = 0;
};

struct Mesh {
    GLuint vao = 0, vbo = 0, ibo = 0;
};

class GlDevice final : public Device {
public:
    explicit GlDevice(Window& w) : window_(w) {}
    ~GlDevice() override {
        for (auto& [id, t] : textures_)
            freeTexture(t);
        for (auto& [id, m] : meshes_)
            freeMesh(m);
        glDeleteBuffers(1, &fanVbo_);
        glDeleteVertexArrays(1, &fanVao_);
        glDeleteSamplers(1, &sampler_);
        glDeleteProgram(program_);
    }

    bool init(std::string& error) {
        if (epoxy_gl_version() < 33) {
            error = "OpenGL 3.3 is not available";
            return false;
        }
        GLuint vs = compile(GL_VERTEX_SHADER, kFixedVertexShader, error);
        GLuint fs = vs ? compile(GL_FRAGMENT_SHADER, kFixedFragmentShader, error) : 0;
        if (!fs) {
            glDeleteShader(vs);
            return false;
        }
        program_ = glCreateProgram();
        glAttachShader(program_, vs);
        glAttachShader(program_, fs);
        glLinkProgram(program_);
        glDeleteShader(vs);
        glDeleteShader(fs);
        GLint ok = 0;
        glGetProgramiv(program_, GL_LINK_STATUS, &ok);
        if (!ok) {
            char buf[2048] = {};
            glGetProgramInfoLog(program_, sizeof buf, nullptr, buf);
            error = buf;
            return false;
        }
        glUseProgram(program_);
        glUniform1i(loc("uTexture"), 0);
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
        findLightLocations();

        glGenVertexArrays(1, &fanVao_);
        glGenBuffers(1, &fanVbo_);
        glBindVertexArray(fanVao_);
        glBindBuffer(GL_ARRAY_BUFFER, fanVbo_);
        glBufferData(GL_ARRAY_BUFFER, sizeof(FanVertex) * 64, nullptr, GL_STREAM_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(FanVertex), nullptr);
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(FanVertex),
                              reinterpret_cast<void*>(offsetof(FanVertex, diffuse)));
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, sizeof(FanVertex),
                              reinterpret_cast<void*>(offsetof(FanVertex, u)));
        glVertexAttrib3f(1, 0, 0, 0);
        glBindVertexArray(0);

        glGenSamplers(1, &sampler_);
        glBindSampler(0, sampler_);
        glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_T, GL_REPEAT);
        setTextureFilter(Filter::Linear, Filter::Linear, Filter::None);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glDepthFunc(GL_LESS);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        setDepthTest(true);
        setCull(Cull::CounterClockwise);
        return true;
    }

    bool headless() const override { return false; }
    int width() const override { return window_.width(); }
    int height() const override { return window_.height(); }

    bool beginFrame(Colour c) override {
        if (!window_.isOpen())
            return false;
        // Other GL users of the context (the dialogs' ImGui) may have bound their own.
        glUseProgram(program_);
        glBindSampler(0, sampler_);
        rebindTexture();
        if (target_ == 0)
            glViewport(0, 0, window_.width(), window_.height());
        clear(c, true);
        return true;
    }

    void clear(Colour c, bool depth) override {
        glm::vec4 v = argb(c);
        glClearColor(v.r, v.g, v.b, v.a);
        glClearDepth(1.0);
        glClearStencil(0);
        glDepthMask(GL_TRUE);
        glClear(GL_COLOR_BUFFER_BIT | (depth ? GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT : 0));
        glDepthMask(depthWrite_ ? GL_TRUE : GL_FALSE);
    }

    bool present() override {
        if (!window_.isOpen())
            return false;
        window_.swap();
        return true;
    }

    void setWorld(const glm::mat4& m) override { world_ = m, transformDirty_ = true; }
    void setView(const glm::mat4& m) override {
        view_ = m;
        transformDirty_ = lightsDirty_ = true; // lights live in eye space
    }
    void setProjection(const glm::mat4& m) override { projection_ = m, transformDirty_ = true; }

    void setDepthTest(bool on) override { on ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST); }
    void setDepthWrite(bool on) override {
        depthWrite_ = on;
        glDepthMask(on ? GL_TRUE : GL_FALSE);
    }
    void setCull(Cull c) override {
        cull_ = c;
        applyCull();
    }
    void setBlending(bool on) override { on ? glEnable(GL_BLEND) : glDisable(GL_BLEND); }
    void setBlendFunc(Blend src, Blend dst) override {
        glBlendFunc(blendFactor(src), blendFactor(dst));
    }
    void setAlphaTest(bool on, uint8_t ref) override {
        alphaTest_ = on, alphaRef_ = ref, stateDirty_ = true;
    }
    void setLighting(bool on) override { lighting_ = on, stateDirty_ = true; }
    void setAmbient(Colour c) override { ambient_ = argb(c), stateDirty_ = true; }
    void setSpecular(bool on) override { specular_ = on, stateDirty_ = true; }
    void setNormalizeNormals(bool on) override { normalize_ = on, stateDirty_ = true; }
    void setLight(int i, const Light& l) override {
        if (i >= 0 && i < 3)
            lights_[i] = l, lightsDirty_ = true;
    }
    void enableLight(int i, bool on) override {
        if (i >= 0 && i < 3)
            lightOn_[i] = on, lightsDirty_ = true;
    }
    void setMaterial(const Material& m) override {
        // Characters set their material per subset; most are alike.
        if (m.diffuse == material_.diffuse && m.ambient == material_.ambient &&
            m.specular == material_.specular && m.emissive == material_.emissive &&
            m.power == material_.power)
            return;
        material_ = m, stateDirty_ = true;
    }
    void setFog(FogMode mode, Colour colour, float start, float end, float density) override {
        fogMode_ = mode, fogColour_ = argb(colour), fogParams_ = {start, end, density};
        stateDirty_ = true;
    }
    void enableFog(bool on) override { fogOn_ = on, stateDirty_ = true; }
    void setTextureFilter(Filter mag, Filter min, Filter mip) override {
        glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER,
                            mag == Filter::Linear ? GL_LINEAR : GL_NEAREST);
        bool linear = min == Filter::Linear;
        GLint m = linear ? GL_LINEAR : GL_NEAREST;
        if (mip == Filter::Point)
            m = linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
        else if (mip == Filter::Linear)
            m = linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
        glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, m);
    }

    TextureId createTexture(const Image& image, bool mipmaps) override {
        if (image.empty() || image.rgba.size() < size_t(image.width) * image.height * 4 ||
            image.width > maxTextureSize_ || image.height > maxTextureSize_)
            return 0;
        Texture t;
        t.width = image.width;
        t.height = image.height;
        glGenTextures(1, &t.tex);
        glBindTexture(GL_TEXTURE_2D, t.tex);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, t.width, t.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     image.rgba.data());
        if (mipmaps)
            glGenerateMipmap(GL_TEXTURE_2D);
        else
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        rebindTexture();
        return keep(t);
    }

    bool updateTexture(TextureId id, const Image& image) override {
        auto it = textures_.find(id);
        if (it == textures_.end() || it->second.width != image.width ||
            it->second.height != image.height ||
            image.rgba.size() < size_t(image.width) * image.height * 4)
            return false;
        glBindTexture(GL_TEXTURE_2D, it->second.tex);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, image.width, image.height, GL_RGBA,
                        GL_UNSIGNED_BYTE, image.rgba.data());
        rebindTexture();
        return true;
    }

    TextureId createRenderTarget(int w, int h) override {
        if (w <= 0 || h <= 0 || w > maxTextureSize_ || h > maxTextureSize_)
            return 0;
        Texture t;
        t.width = w;
        t.height = h;
        glGenTextures(1, &t.tex);
        glBindTexture(GL_TEXTURE_2D, t.tex);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glGenFramebuffers(1, &t.fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, t.fbo);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.tex, 0);
        bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        if (complete) {
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        bindTarget();
        rebindTexture();
        if (!complete) {
            freeTexture(t);
            return 0;
        }
        return keep(t);
    }

    void releaseTexture(TextureId id) override {
        auto it = textures_.find(id);
        if (it == textures_.end())
            return;
        if (target_ == id)
            setRenderTarget(0);
        if (bound_ == id)
            setTexture(0);
        freeTexture(it->second);
        textures_.erase(it);
    }

    void setTexture(TextureId id) override {
        auto it = textures_.find(id);
        bound_ = it == textures_.end() ? 0 : id;
        rebindTexture();
    }

    void setRenderTarget(TextureId id) override {
        auto it = textures_.find(id);
        target_ = (it == textures_.end() || !it->second.fbo) ? 0 : id;
        bindTarget();
        applyCull();
        transformDirty_ = true;
    }

    void drawFan(const FanVertex* v, int count) override {
        if (count < 3)
            return;
        upload(true);
        glBindVertexArray(fanVao_);
        glBindBuffer(GL_ARRAY_BUFFER, fanVbo_);
        size_t bytes = sizeof(FanVertex) * count;
        if (bytes > fanCapacity_) {
            fanCapacity_ = bytes;
            glBufferData(GL_ARRAY_BUFFER, bytes, v, GL_STREAM_DRAW);
        } else {
            glBufferData(GL_ARRAY_BUFFER, fanCapacity_, nullptr, GL_STREAM_DRAW);
            glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, v);
        }
        glDrawArrays(GL_TRIANGLE_FAN, 0, count);
        glBindVertexArray(0);
    }

    MeshId createMesh(const MeshVertex* v, size_t n, const uint16_t* idx, size_t ni) override {
        if (!v || !idx || n == 0 || ni == 0)
            return 0;
        Mesh m;
        glGenVertexArrays(1, &m.vao);
        glGenBuffers(1, &m.vbo);
        glGenBuffers(1, &m.ibo);
        glBindVertexArray(m.vao);
        glBindBuffer(GL_ARRAY_BUFFER, m.vbo);
        glBufferData(GL_ARRAY_BUFFER, sizeof(MeshVertex) * n, v, GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m.ibo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(uint16_t) * ni, idx, GL_STATIC_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), nullptr);
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex),
                              reinterpret_cast<void*>(offsetof(MeshVertex, nx)));
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, sizeof(MeshVertex),
                              reinterpret_cast<void*>(offsetof(MeshVertex, u)));
        glBindVertexArray(0);
        MeshId id = nextId_++;
        meshes_[id] = m;
        meshIndexCount_[id] = static_cast<uint32_t>(ni);
        return id;
    }

    void drawMesh(MeshId id, uint32_t first, uint32_t count) override {
        auto it = meshes_.find(id);
        if (it == meshes_.end() || count == 0)
            return;
        uint32_t total = meshIndexCount_[id];
        if (first >= total)
            return;
        count = std::min(count, total - first);
        upload(false);
        glBindVertexArray(it->second.vao);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_SHORT,
                       reinterpret_cast<void*>(uintptr_t(first) * sizeof(uint16_t)));
        glBindVertexArray(0);
    }

    void releaseMesh(MeshId id) override {
        auto it = meshes_.find(id);
        if (it == meshes_.end())
            return;
        freeMesh(it->second);
        meshes_.erase(it);
        meshIndexCount_.erase(id);
    }

    Image readPixels() override {
        Image img;
        if (target_) {
            const Texture& t = textures_[target_];
            img.width = t.width, img.height = t.height;
        } else {
            img.width = window_.width(), img.height = window_.height();
            glReadBuffer(GL_BACK);
        }
        img.rgba.resize(size_t(img.width) * img.height * 4);
        glReadPixels(0, 0, img.width, img.height, GL_RGBA, GL_UNSIGNED_BYTE, img.rgba.data());
        if (!target_) {
            // The window shows no alpha: the picture is opaque, as seen.
            for (size_t i = 3; i < img.rgba.size(); i += 4)
                img.rgba[i] = 255;
            // The screen's rows come bottom first; render targets are drawn upside down already.
            size_t row = size_t(img.width) * 4;
            std::vector<uint8_t> tmp(row);
            for (int y = 0; y < img.height / 2; ++y) {
                uint8_t* a = &img.rgba[y * row];
                uint8_t* b = &img.rgba[(img.height - 1 - y) * row];
                std::memcpy(tmp.data(), a, row);
                std::memcpy(a, b, row);
                std::memcpy(b, tmp.data(), row);
            }
        }
        return img;
    }

private:
    GLint loc(const char* name) {
        auto it = locations_.find(name);
        if (it != locations_.end())
            return it->second;
        GLint l = glGetUniformLocation(program_, name);
        locations_.emplace(name, l);
        return l;
    }

    TextureId keep(const Texture& t) {
        TextureId id = nextId_++;
        textures_[id] = t;
        return id;
    }

    void freeTexture(Texture& t) {
        if (t.fbo)
            glDeleteFramebuffers(1, &t.fbo);
        glDeleteTextures(1, &t.tex);
        t = {};
    }

    void freeMesh(Mesh& m) {
        glDeleteBuffers(1, &m.vbo);
        glDeleteBuffers(1, &m.ibo);
        glDeleteVertexArrays(1, &m.vao);
    }

    void rebindTexture() {
        auto it = textures_.find(bound_);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, it == textures_.end() ? 0 : it->second.tex);
    }

    void bindTarget() {
        if (target_) {
            const Texture& t = textures_[target_];
            glBindFramebuffer(GL_FRAMEBUFFER, t.fbo);
            glViewport(0, 0, t.width, t.height);
        } else {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glViewport(0, 0, window_.width(), window_.height());
        }
    }

    void applyCull() {
        if (cull_ == Cull::None) {
            glDisable(GL_CULL_FACE);
            return;
        }
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        // Drawing into a target flips y, which flips the winding seen on screen.
        bool cullCcw = (cull_ == Cull::CounterClockwise) != (target_ != 0);
        glFrontFace(cullCcw ? GL_CW : GL_CCW);
    }

    struct LightLocations {
        GLint on, point, diffuse, specular, ambient, pos, dir, att;
    };

    void findLightLocations() {
        for (int i = 0; i < 3; ++i) {
            auto at = [&](const char* name) {
                return loc((std::string(name) + "[" + std::to_string(i) + "]").c_str());
            };
            lightLoc_[i] = {at("uLightOn"),       at("uLightPoint"),   at("uLightDiffuse"),
                            at("uLightSpecular"), at("uLightAmbient"), at("uLightPos"),
                            at("uLightDir"),      at("uLightAtt")};
        }
    }

    // Uniforms go up only for what changed since the last draw.
    void upload(bool hasColour) {
        if (hasColour != hasColour_ || firstDraw_)
            glUniform1i(loc("uHasColour"), hasColour);
        hasColour_ = hasColour;
        if ((bound_ != 0) != textured_ || firstDraw_)
            glUniform1i(loc("uTextured"), bound_ != 0);
        textured_ = bound_ != 0;
        firstDraw_ = false;
        if (transformDirty_) {
            transformDirty_ = false;
            glm::mat4 wv = world_ * view_;
            glUniformMatrix4fv(loc("uWorldView"), 1, GL_FALSE, &wv[0][0]);
            glUniformMatrix4fv(loc("uProjection"), 1, GL_FALSE, &projection_[0][0]);
            // Row vectors: n' = n * transpose(inverse(M)).
            glm::mat3 nm = glm::transpose(glm::inverse(glm::mat3(wv)));
            glUniformMatrix3fv(loc("uNormalMatrix"), 1, GL_FALSE, &nm[0][0]);
            glUniform1f(loc("uFlipY"), target_ ? -1.0f : 1.0f);
        }
        if (lightsDirty_) {
            lightsDirty_ = false;
            for (int i = 0; i < 3; ++i) {
                const Light& l = lights_[i];
                const LightLocations& at = lightLoc_[i];
                glUniform1i(at.on, lightOn_[i]);
                glUniform1i(at.point, l.point);
                glUniform3fv(at.diffuse, 1, &l.diffuse[0]);
                glUniform3fv(at.specular, 1, &l.specular[0]);
                glUniform3fv(at.ambient, 1, &l.ambient[0]);
                glm::vec3 pos = glm::vec3(glm::vec4(l.position, 1.0f) * view_);
                glm::vec3 dir = glm::vec3(glm::vec4(l.direction, 0.0f) * view_);
                glUniform3fv(at.pos, 1, &pos[0]);
                glUniform3fv(at.dir, 1, &dir[0]);
                glm::vec4 att(l.attenuation0, l.attenuation1, l.attenuation2, l.range);
                glUniform4fv(at.att, 1, &att[0]);
            }
        }
        if (!stateDirty_)
            return;
        stateDirty_ = false;
        glUniform1i(loc("uLighting"), lighting_);
        glUniform1i(loc("uSpecular"), specular_);
        glUniform1i(loc("uNormalize"), normalize_);
        glUniform3fv(loc("uAmbient"), 1, &ambient_[0]);
        glUniform4fv(loc("uMatDiffuse"), 1, &material_.diffuse[0]);
        glUniform3fv(loc("uMatAmbient"), 1, &material_.ambient[0]);
        glUniform3fv(loc("uMatSpecular"), 1, &material_.specular[0]);
        glUniform3fv(loc("uMatEmissive"), 1, &material_.emissive[0]);
        glUniform1f(loc("uMatPower"), material_.power);
        glUniform1i(loc("uAlphaTest"), alphaTest_);
        glUniform1f(loc("uAlphaRef"), alphaRef_);
        glUniform1i(loc("uFogMode"), fogOn_ ? int(fogMode_) : 0);
        glUniform4fv(loc("uFogColour"), 1, &fogColour_[0]);
        glUniform3fv(loc("uFogParams"), 1, &fogParams_[0]);
    }

    Window& window_;
    GLuint program_ = 0, fanVao_ = 0, fanVbo_ = 0, sampler_ = 0;
    size_t fanCapacity_ = sizeof(FanVertex) * 64;
    GLint maxTextureSize_ = 2048;
    std::unordered_map<std::string, GLint> locations_;
    std::unordered_map<TextureId, Texture> textures_;
    std::unordered_map<MeshId, Mesh> meshes_;
    std::unordered_map<MeshId, uint32_t> meshIndexCount_;
    uint32_t nextId_ = 1;
    TextureId bound_ = 0, target_ = 0;
    bool transformDirty_ = true, lightsDirty_ = true, stateDirty_ = true;
    bool firstDraw_ = true, hasColour_ = false, textured_ = false;
    LightLocations lightLoc_[3] = {};
    glm::mat4 world_{1.0f}, view_{1.0f}, projection_{1.0f};
    Cull cull_ = Cull::CounterClockwise;
    bool depthWrite_ = true, alphaTest_ = false, lighting_ = false, specular_ = false,
         normalize_ = false, fogOn_ = false;
    uint8_t alphaRef_ = 0;
    glm::vec4 ambient_{0};
    Light lights_[3];
    bool lightOn_[3] = {};
    Material material_;
    FogMode fogMode_ = FogMode::None;
    glm::vec4 fogColour_{0};
    glm::vec3 fogParams_{0, 1, 1};
};

} // namespace

std::unique_ptr<Device> createGlDevice(Window& window, std::string* error) {
    std::string why;
    if (!window.isOpen()) {
        why = "no window";
    } else {
        window.makeCurrent();
        auto d = std::make_unique<GlDevice>(window);
        if (d->init(why))
            return d;
    }
    if (error)
        *error = why;
    return nullptr;
}

} // namespace kv

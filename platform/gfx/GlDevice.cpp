#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

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
    bool opaque = false;                       // every texel's alpha is 255
    bool mipmaps = false, mipsPending = false; // a chain is wanted; it is not built yet
    // A coarse grid over the picture: the texel edges of its columns and rows, and per cell
    // whether a sample inside it can read a texel with any alpha (the cell grown by the one
    // texel a filter reads beyond it, wrapping round as the texture repeats). Empty for
    // render targets, whose content the device does not know.
    std::vector<int> cellX, cellY;
    std::vector<uint8_t> cellShows;
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
        glDeleteSamplers(1, &magSampler_);
        for (auto& [key, p] : programs_)
            glDeleteProgram(p.id);
    }

    bool init(std::string& error) {
        if (epoxy_gl_version() < 33) {
            error = "OpenGL 3.3 is not available";
            return false;
        }
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
        // The plainest and the fullest combination: a driver that cannot build the program
        // fails here, not at some later draw.
        if (!program(0, &error) || !program(kAllSwitches, &error))
            return false;

        glGenVertexArrays(1, &fanVao_);
        glGenBuffers(1, &fanVbo_);
        glBindVertexArray(fanVao_);
        glBindBuffer(GL_ARRAY_BUFFER, fanVbo_);
        glBufferData(GL_ARRAY_BUFFER, fanCapacity_, nullptr, GL_STREAM_DRAW);
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
        glGenSamplers(1, &magSampler_);
        glBindSampler(0, sampler_);
        for (GLuint sampler : {sampler_, magSampler_}) {
            glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
            glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_REPEAT);
        }
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
        current_ = nullptr;
        blendKnown_ = false;
        boundVao_ = ~0u;
        glBindSampler(0, sampler_);
        magSamplerBound_ = false;
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

    void setWorld(const glm::mat4& m) override { world_ = m, ++transformGen_; }
    void setView(const glm::mat4& m) override {
        view_ = m;
        ++transformGen_, ++lightsGen_; // lights live in eye space
    }
    void setProjection(const glm::mat4& m) override { projection_ = m, ++transformGen_; }

    void setDepthTest(bool on) override {
        depthTest_ = on;
        on ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    }
    void setDepthWrite(bool on) override {
        depthWrite_ = on;
        glDepthMask(on ? GL_TRUE : GL_FALSE);
    }
    void setCull(Cull c) override {
        cull_ = c;
        applyCull();
    }
    void setBlending(bool on) override { blending_ = on; }
    void setBlendFunc(Blend src, Blend dst) override {
        blendSrc_ = src, blendDst_ = dst;
        glBlendFunc(blendFactor(src), blendFactor(dst));
    }
    void setAlphaTest(bool on, uint8_t ref) override {
        alphaTest_ = on;
        if (ref != alphaRef_)
            alphaRef_ = ref, ++stateGen_;
    }
    void setLighting(bool on) override { lighting_ = on; }
    void setAmbient(Colour c) override { ambient_ = argb(c), ++stateGen_; }
    void setSpecular(bool on) override { specular_ = on; }
    void setNormalizeNormals(bool on) override { normalize_ = on; }
    void setLight(int i, const Light& l) override {
        if (i >= 0 && i < 3)
            lights_[i] = l, ++lightsGen_;
    }
    void enableLight(int i, bool on) override {
        if (i >= 0 && i < 3)
            lightOn_[i] = on;
    }
    void setMaterial(const Material& m) override {
        // Characters set their material per subset; most are alike.
        if (m.diffuse == material_.diffuse && m.ambient == material_.ambient &&
            m.specular == material_.specular && m.emissive == material_.emissive &&
            m.power == material_.power)
            return;
        material_ = m, ++stateGen_;
    }
    void setFog(FogMode mode, Colour colour, float start, float end, float density) override {
        fogMode_ = mode, fogColour_ = argb(colour), fogParams_ = {start, end, density};
        ++stateGen_;
    }
    void enableFog(bool on) override { fogOn_ = on; }
    void setTextureFilter(Filter mag, Filter min, Filter mip) override {
        const GLint magFilter = mag == Filter::Linear ? GL_LINEAR : GL_NEAREST;
        glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER, magFilter);
        bool linear = min == Filter::Linear;
        GLint m = linear ? GL_LINEAR : GL_NEAREST;
        if (mip == Filter::Point)
            m = linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
        else if (mip == Filter::Linear)
            m = linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
        glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, m);
        // Where a draw only magnifies, the minifying filter is never used: sampling with the
        // magnifying one alone gives the same texels without working out which applies.
        glSamplerParameteri(magSampler_, GL_TEXTURE_MAG_FILTER, magFilter);
        glSamplerParameteri(magSampler_, GL_TEXTURE_MIN_FILTER, magFilter);
        filtersDiffer_ = m != magFilter;
        mipFiltering_ = mip != Filter::None;
    }

    TextureId createTexture(const Image& image, bool mipmaps) override {
        if (image.empty() || image.rgba.size() < size_t(image.width) * image.height * 4 ||
            image.width > maxTextureSize_ || image.height > maxTextureSize_)
            return 0;
        Texture t;
        t.width = image.width;
        t.height = image.height;
        t.opaque = opaque(image);
        visibleCells(image, t);
        glGenTextures(1, &t.tex);
        glBindTexture(GL_TEXTURE_2D, t.tex);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, t.width, t.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     image.rgba.data());
        // The chain is built when a draw first samples it with a mip filter: the game's
        // filters use none, and building hundreds of chains at start-up costs seconds on a
        // software rasteriser. Without mip filtering the picture itself is complete.
        t.mipmaps = t.mipsPending = mipmaps;
        if (!mipmaps)
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
        it->second.opaque = opaque(image);
        visibleCells(image, it->second);
        it->second.mipsPending = it->second.mipmaps;
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
        boundOpaque_ = bound_ == 0 || it->second.opaque;
        rebindTexture();
    }

    void setRenderTarget(TextureId id) override {
        auto it = textures_.find(id);
        target_ = (it == textures_.end() || !it->second.fbo) ? 0 : id;
        // Text targets are drawn before the frame begins: bind everything again, as then.
        current_ = nullptr;
        blendKnown_ = false;
        boundVao_ = ~0u;
        bindTarget();
        applyCull();
        ++transformGen_;
    }

    void drawFan(const FanVertex* v, int count) override {
        if (count < 3)
            return;
        bool opaqueColour = true;
        for (int i = 0; i < count; ++i)
            opaqueColour = opaqueColour && (v[i].diffuse >> 24) == 0xFF;
        const bool cropped = count == 4 && cropToVisible(v, cropped_);
        if (cropped && cropped_.empty())
            return; // nothing of it can show
        prepare(true, opaqueColour);
        useMagSampler(filtersDiffer_ && bound_ && onlyMagnifies(v, count));
        bindVertexArray(fanVao_);
        glBindBuffer(GL_ARRAY_BUFFER, fanVbo_);
        if (cropped)
            drawVertices(GL_TRIANGLES, cropped_.data(), int(cropped_.size()));
        else
            drawVertices(GL_TRIANGLE_FAN, v, count);
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
        boundVao_ = 0;
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
        prepare(false, !lighting_ || material_.diffuse.a >= 1.0f);
        useMagSampler(false);
        bindVertexArray(it->second.vao);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_SHORT,
                       reinterpret_cast<void*>(uintptr_t(first) * sizeof(uint16_t)));
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
    // One compiled combination of the program's switches (GlShader.h) with the uniform
    // values it last received, by the generation of each group.
    struct Program {
        GLuint id = 0;
        uint64_t transformGen = 0, lightsGen = 0, stateGen = 0;
        GLint worldView, projection, normalMatrix, flipY, ambient, matDiffuse, matAmbient,
            matSpecular, matEmissive, matPower, alphaRef, fogColour, fogParams;
        struct {
            GLint diffuse, specular, ambient, pos, dir, att;
        } light[3];
    };

    Program* program(uint32_t key, std::string* error = nullptr) {
        auto it = programs_.find(key);
        if (it != programs_.end())
            return &it->second;
        std::string defines = kFixedShaderVersion;
        auto define = [&](const char* name, uint32_t value) {
            defines += "#define " + std::string(name) + " " + std::to_string(value) + "\n";
        };
        define("TEXTURED", key & kTextured ? 1 : 0);
        define("HAS_COLOUR", key & kHasColour ? 1 : 0);
        define("LIGHTING", key & kLighting ? 1 : 0);
        define("SPECULAR", key & kSpecular ? 1 : 0);
        define("NORMALIZE", key & kNormalize ? 1 : 0);
        define("ALPHA_TEST", key & kAlphaTest ? 1 : 0);
        define("FOG_MODE", (key >> kFogShift) & 3);
        for (int i = 0; i < 3; ++i)
            define(("LIGHT" + std::to_string(i)).c_str(), (key >> (kLightShift + 2 * i)) & 3);
        std::string log;
        GLuint vs = compile(GL_VERTEX_SHADER, (defines + kFixedVertexShader).c_str(), log);
        GLuint fs =
            vs ? compile(GL_FRAGMENT_SHADER, (defines + kFixedFragmentShader).c_str(), log) : 0;
        GLuint id = 0;
        if (fs) {
            id = glCreateProgram();
            glAttachShader(id, vs);
            glAttachShader(id, fs);
            glLinkProgram(id);
            GLint ok = 0;
            glGetProgramiv(id, GL_LINK_STATUS, &ok);
            if (!ok) {
                char buf[2048] = {};
                glGetProgramInfoLog(id, sizeof buf, nullptr, buf);
                log = buf;
                glDeleteProgram(id);
                id = 0;
            }
        }
        glDeleteShader(vs);
        glDeleteShader(fs);
        if (!id) {
            if (error)
                *error = log;
            return nullptr;
        }
        Program p;
        p.id = id;
        auto at = [&](const std::string& name) { return glGetUniformLocation(id, name.c_str()); };
        p.worldView = at("uWorldView"), p.projection = at("uProjection");
        p.normalMatrix = at("uNormalMatrix"), p.flipY = at("uFlipY"), p.ambient = at("uAmbient");
        p.matDiffuse = at("uMatDiffuse"), p.matAmbient = at("uMatAmbient");
        p.matSpecular = at("uMatSpecular"), p.matEmissive = at("uMatEmissive");
        p.matPower = at("uMatPower"), p.alphaRef = at("uAlphaRef");
        p.fogColour = at("uFogColour"), p.fogParams = at("uFogParams");
        for (int i = 0; i < 3; ++i) {
            auto el = [&](const char* name) { return at(name + ("[" + std::to_string(i) + "]")); };
            p.light[i] = {el("uLightDiffuse"), el("uLightSpecular"), el("uLightAmbient"),
                          el("uLightPos"),     el("uLightDir"),      el("uLightAtt")};
        }
        glUseProgram(id);
        glUniform1i(at("uTexture"), 0);
        current_ = nullptr;
        return &programs_.emplace(key, p).first->second;
    }

    // Before a draw: the program for the states in force, its uniforms brought up to date,
    // and blending as it must be. A fragment that is surely opaque (an opaque colour over an
    // opaque texture or none) passes any alpha test and blends to itself with the usual
    // factors, so neither is run for it.
    void prepare(bool hasColour, bool opaqueColour) {
        if (mipFiltering_ && bound_) {
            Texture& t = textures_.at(bound_);
            if (t.mipsPending) {
                glActiveTexture(GL_TEXTURE0);
                glBindTexture(GL_TEXTURE_2D, t.tex);
                glGenerateMipmap(GL_TEXTURE_2D);
                t.mipsPending = false;
            }
        }
        const bool opaque = opaqueColour && boundOpaque_;
        uint32_t key = 0;
        if (bound_)
            key |= kTextured;
        if (hasColour)
            key |= kHasColour;
        if (lighting_) {
            key |= kLighting;
            if (specular_)
                key |= kSpecular;
            if (normalize_)
                key |= kNormalize;
            for (int i = 0; i < 3; ++i)
                if (lightOn_[i])
                    key |= uint32_t(lights_[i].point ? 2 : 1) << (kLightShift + 2 * i);
        }
        if (alphaTest_ && !opaque)
            key |= kAlphaTest;
        if (fogOn_)
            key |= uint32_t(fogMode_) << kFogShift;
        Program* p = program(key);
        if (!p)
            p = program(kAllSwitches); // compiled at start, so there always is one
        if (p != current_) {
            current_ = p;
            glUseProgram(p->id);
        }
        const bool blend = blending_ && !(opaque && blendSrc_ == Blend::SrcAlpha &&
                                          blendDst_ == Blend::InvSrcAlpha);
        if (blend != blendOn_ || !blendKnown_) {
            blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
            blendOn_ = blend, blendKnown_ = true;
        }
        upload(*p);
    }

    // Uniforms go up only for what changed since this program last drew.
    void upload(Program& p) {
        if (p.transformGen != transformGen_) {
            p.transformGen = transformGen_;
            updateDerived();
            glUniformMatrix4fv(p.worldView, 1, GL_FALSE, &worldView_[0][0]);
            glUniformMatrix4fv(p.projection, 1, GL_FALSE, &projection_[0][0]);
            if (p.normalMatrix >= 0)
                glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, &normalMatrix_[0][0]);
            glUniform1f(p.flipY, target_ ? -1.0f : 1.0f);
        }
        if (p.lightsGen != lightsGen_ && p.light[0].diffuse >= 0) {
            p.lightsGen = lightsGen_;
            for (int i = 0; i < 3; ++i) {
                const Light& l = lights_[i];
                const auto& at = p.light[i];
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
        if (p.stateGen == stateGen_)
            return;
        p.stateGen = stateGen_;
        if (p.matDiffuse >= 0) {
            glUniform3fv(p.ambient, 1, &ambient_[0]);
            glUniform4fv(p.matDiffuse, 1, &material_.diffuse[0]);
            glUniform3fv(p.matAmbient, 1, &material_.ambient[0]);
            glUniform3fv(p.matSpecular, 1, &material_.specular[0]);
            glUniform3fv(p.matEmissive, 1, &material_.emissive[0]);
            glUniform1f(p.matPower, material_.power);
        }
        if (p.alphaRef >= 0)
            glUniform1f(p.alphaRef, alphaRef_);
        if (p.fogColour >= 0) {
            glUniform4fv(p.fogColour, 1, &fogColour_[0]);
            glUniform3fv(p.fogParams, 1, &fogParams_[0]);
        }
    }

    void updateDerived() {
        if (derivedGen_ != transformGen_) {
            derivedGen_ = transformGen_;
            worldView_ = world_ * view_;
            // Row vectors: n' = n * transpose(inverse(M)).
            normalMatrix_ = glm::transpose(glm::inverse(glm::mat3(worldView_)));
        }
    }

    // The last vertex array stays bound: changing it makes the driver look at every vertex
    // attribute again.
    void bindVertexArray(GLuint vao) {
        if (vao != boundVao_) {
            glBindVertexArray(vao);
            boundVao_ = vao;
        }
    }

    void useMagSampler(bool on) {
        if (on != magSamplerBound_) {
            glBindSampler(0, on ? magSampler_ : sampler_);
            magSamplerBound_ = on;
        }
    }

    // Fans go one after another into one buffer, which is renewed only when full: the
    // driver need not copy or wait for a buffer per quad.
    void drawVertices(GLenum mode, const FanVertex* v, int count) {
        size_t bytes = sizeof(FanVertex) * count;
        if (fanUsed_ + bytes > fanCapacity_) {
            fanCapacity_ = std::max(fanCapacity_, bytes);
            glBufferData(GL_ARRAY_BUFFER, fanCapacity_, nullptr, GL_STREAM_DRAW);
            fanUsed_ = 0;
        }
        glBufferSubData(GL_ARRAY_BUFFER, fanUsed_, bytes, v);
        glDrawArrays(mode, GLint(fanUsed_ / sizeof(FanVertex)), count);
        fanUsed_ += bytes;
    }

    // A quad whose texture has transparent parts is drawn over the cells that can show, as
    // triangles: texels with alpha 0 change nothing under the game's two blendings (SrcAlpha
    // with InvSrcAlpha or with One), so the pixels left out would have stayed as they were.
    // Not when those pixels would write depth (no alpha test drops them), nor when the
    // texture repeats into the quad, its colour varies over it or mip levels blur texels
    // together. The quad must be a parallelogram with its texture rectangle on its corners,
    // as drawQuad and the title lay them out. The pieces lie on one grid whose lines run
    // through the quad wherever a row or column of cells changes, so neighbours share whole
    // edges and corners: no pixel is drawn twice or left out between them. False when the
    // quad is drawn whole; true with no triangles when nothing of it can show.
    bool cropToVisible(const FanVertex* v, std::vector<FanVertex>& out) {
        out.clear();
        if (!bound_ || boundOpaque_ || mipFiltering_ || !blending_ ||
            blendSrc_ != Blend::SrcAlpha ||
            (blendDst_ != Blend::InvSrcAlpha && blendDst_ != Blend::One))
            return false;
        if (depthTest_ && depthWrite_ && !(alphaTest_ && alphaRef_ >= 1))
            return false;
        const Texture& t = textures_.at(bound_);
        if (t.cellShows.empty())
            return false;
        if (v[0].u != v[3].u || v[1].u != v[2].u || v[0].v != v[1].v || v[2].v != v[3].v ||
            v[0].u == v[1].u || v[0].v == v[3].v)
            return false;
        for (int i = 1; i < 4; ++i)
            if (v[i].diffuse != v[0].diffuse)
                return false;
        const glm::vec3 p[4] = {{v[0].x, v[0].y, v[0].z},
                                {v[1].x, v[1].y, v[1].z},
                                {v[2].x, v[2].y, v[2].z},
                                {v[3].x, v[3].y, v[3].z}};
        const glm::vec3 gap = p[0] + p[2] - p[1] - p[3];
        const float size = glm::length(p[2] - p[0]);
        if (glm::length(gap) > 1e-5f * size)
            return false;
        const float ulo = std::min(v[0].u, v[1].u), uhi = std::max(v[0].u, v[1].u);
        const float vlo = std::min(v[0].v, v[3].v), vhi = std::max(v[0].v, v[3].v);
        if (ulo < 0 || uhi > 1 || vlo < 0 || vhi > 1)
            return false;
        // The cells the quad covers, and the lines of the grid in texture coordinates: the
        // quad's sides and the cell edges inside it.
        auto span = [](const std::vector<int>& edges, int n, float lo, float hi, int& first,
                       int& last, std::vector<float>& lines) {
            const int cells = int(edges.size()) - 1;
            first = 0, last = cells - 1;
            while (first < last && float(edges[first + 1]) / float(n) <= lo)
                ++first;
            while (last > first && float(edges[last]) / float(n) >= hi)
                --last;
            lines.clear();
            lines.push_back(lo);
            for (int i = first + 1; i <= last; ++i)
                lines.push_back(float(edges[i]) / float(n));
            lines.push_back(hi);
        };
        int c0, c1, r0, r1;
        std::vector<float> us, ws;
        span(t.cellX, t.width, ulo, uhi, c0, c1, us);
        span(t.cellY, t.height, vlo, vhi, r0, r1, ws);
        const int cols = c1 - c0 + 1, rows = r1 - r0 + 1;
        auto shows = [&](int c, int r) {
            return t.cellShows[size_t(r0 + r) * (t.cellX.size() - 1) + size_t(c0 + c)] != 0;
        };
        // A line is kept where the cells on its two sides differ in some row (column); the
        // others would only cut pieces that are drawn alike on both sides.
        std::vector<uint8_t> keepU(cols + 1, 0), keepW(rows + 1, 0);
        keepU[0] = keepU[cols] = keepW[0] = keepW[rows] = 1;
        bool all = true, none = true;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                const bool on = shows(c, r);
                all = all && on, none = none && !on;
                if (c > 0 && on != shows(c - 1, r))
                    keepU[c] = 1;
                if (r > 0 && on != shows(c, r - 1))
                    keepW[r] = 1;
            }
        if (all)
            return false;
        if (none)
            return true;
        // Corners by their texture coordinates: s runs from v0 to v1, r from v0 to v3.
        auto corner = [&](float u, float w) {
            const float s = (u - v[0].u) / (v[1].u - v[0].u);
            const float r = (w - v[0].v) / (v[3].v - v[0].v);
            const glm::vec3 q = p[0] + s * (p[1] - p[0]) + r * (p[3] - p[0]);
            return FanVertex{q.x, q.y, q.z, v[0].diffuse, u, w};
        };
        const bool flipU = v[1].u < v[0].u, flipV = v[3].v < v[0].v;
        auto piece = [&](float u0, float u1, float w0, float w1) {
            // The piece's corners in the quad's own order, so its winding is kept.
            const float ua = flipU ? u1 : u0, ub = flipU ? u0 : u1;
            const float va = flipV ? w1 : w0, vb = flipV ? w0 : w1;
            const FanVertex q0 = corner(ua, va), q1 = corner(ub, va), q2 = corner(ub, vb),
                            q3 = corner(ua, vb);
            out.insert(out.end(), {q0, q1, q2, q0, q2, q3});
        };
        // What a piece costs the rasteriser on screen: its pixels, and along each of its edges
        // the blocks of pixels it shades in part, about four pixels deep.
        const glm::vec2 side = quadSides(v);
        auto cost = [&](float u0, float u1, float w0, float w1) {
            const float a = side.x * (u1 - u0) / (uhi - ulo), b = side.y * (w1 - w0) / (vhi - vlo);
            return a * b + 8 * (a + b);
        };
        float piecesCost = 0;
        int cMin = cols, cMax = -1, rMin = rows, rMax = -1;
        for (int r = 0; r < rows;) {
            int r2 = r + 1;
            while (!keepW[r2])
                ++r2;
            for (int c = 0; c < cols;) {
                int c2 = c + 1;
                while (!keepU[c2])
                    ++c2;
                if (shows(c, r)) {
                    piece(us[c], us[c2], ws[r], ws[r2]);
                    piecesCost += cost(us[c], us[c2], ws[r], ws[r2]);
                    cMin = std::min(cMin, c), cMax = std::max(cMax, c2);
                    rMin = std::min(rMin, r), rMax = std::max(rMax, r2);
                }
                c = c2;
            }
            r = r2;
        }
        // Many small pieces can cost more than they leave out: then the rectangle round the
        // cells that show is drawn alone, or the whole quad.
        if (piecesCost > cost(us[cMin], us[cMax], ws[rMin], ws[rMax])) {
            out.clear();
            if (cMin == 0 && cMax == cols && rMin == 0 && rMax == rows)
                return false;
            piece(us[cMin], us[cMax], ws[rMin], ws[rMax]);
        }
        return true;
    }

    // The lengths on screen, in pixels, of the quad's sides from v0 to v1 and from v0 to v3;
    // very long when a corner lies behind the eye.
    glm::vec2 quadSides(const FanVertex* v) {
        updateDerived();
        const glm::mat4 m = worldView_ * projection_;
        const glm::vec2 viewport =
            0.5f * (target_ ? glm::vec2(textures_.at(target_).width, textures_.at(target_).height)
                            : glm::vec2(window_.width(), window_.height()));
        glm::vec2 screen[4];
        for (int i : {0, 1, 3}) {
            const glm::vec4 c = glm::vec4(v[i].x, v[i].y, v[i].z, 1.0f) * m;
            if (c.w <= 1e-6f)
                return glm::vec2(1e6f);
            screen[i] = glm::vec2(c.x, c.y) / c.w * viewport;
        }
        return {glm::length(screen[1] - screen[0]), glm::length(screen[3] - screen[0])};
    }

    // True when no pixel of the fan reads more than one texel's step of its texture: drawn
    // without perspective (equal w), so the texture's rate over the screen is fixed per
    // triangle, and below one texel a pixel in both screen directions.
    bool onlyMagnifies(const FanVertex* v, int count) {
        const Texture& t = textures_.at(bound_);
        updateDerived();
        const glm::mat4 m = worldView_ * projection_;
        const glm::vec2 viewport =
            0.5f * (target_ ? glm::vec2(textures_.at(target_).width, textures_.at(target_).height)
                            : glm::vec2(window_.width(), window_.height()));
        glm::vec2 screen[64];
        if (count > 64)
            return false;
        float w0 = 0;
        for (int i = 0; i < count; ++i) {
            const glm::vec4 c = glm::vec4(v[i].x, v[i].y, v[i].z, 1.0f) * m;
            if (i == 0)
                w0 = c.w;
            if (c.w <= 0 || std::abs(c.w - w0) > 1e-5f * std::abs(w0))
                return false;
            screen[i] = glm::vec2(c.x, c.y) / c.w * viewport;
        }
        for (int i = 1; i + 1 < count; ++i) {
            const glm::vec2 e1 = screen[i] - screen[0], e2 = screen[i + 1] - screen[0];
            const float det = e1.x * e2.y - e1.y * e2.x;
            if (std::abs(det) < 1e-6f)
                continue; // no pixels
            const glm::vec2 t1(float(t.width) * (v[i].u - v[0].u),
                               float(t.height) * (v[i].v - v[0].v));
            const glm::vec2 t2(float(t.width) * (v[i + 1].u - v[0].u),
                               float(t.height) * (v[i + 1].v - v[0].v));
            // Texels per pixel along screen x and y: the texture edges times the inverse of
            // the screen edges.
            const glm::vec2 dx = (t1 * e2.y - t2 * e1.y) / det;
            const glm::vec2 dy = (t2 * e1.x - t1 * e2.x) / det;
            if (glm::length(dx) > 0.99f || glm::length(dy) > 0.99f)
                return false;
        }
        return true;
    }

    // The grid of Texture::cellShows: cells of about 16 texels, at most 32 a side.
    static void visibleCells(const Image& image, Texture& t) {
        auto edges = [](int n) {
            const int cells = std::clamp(n / 16, 1, 32);
            std::vector<int> e(cells + 1);
            for (int i = 0; i <= cells; ++i)
                e[i] = int(int64_t(n) * i / cells);
            return e;
        };
        t.cellX = edges(image.width);
        t.cellY = edges(image.height);
        const int nx = int(t.cellX.size()) - 1, ny = int(t.cellY.size()) - 1;
        t.cellShows.assign(size_t(nx) * ny, 0);
        for (int r = 0; r < ny; ++r)
            for (int c = 0; c < nx; ++c) {
                bool any = false;
                for (int y = t.cellY[r] - 1; y <= t.cellY[r + 1] && !any; ++y) {
                    const int wy = (y + image.height) % image.height;
                    for (int x = t.cellX[c] - 1; x <= t.cellX[c + 1] && !any; ++x) {
                        const int wx = (x + image.width) % image.width;
                        any = image.rgba[(size_t(wy) * image.width + wx) * 4 + 3] != 0;
                    }
                }
                t.cellShows[size_t(r) * nx + c] = any;
            }
    }

    static bool opaque(const Image& image) {
        for (size_t i = 3; i < image.rgba.size(); i += 4)
            if (image.rgba[i] != 255)
                return false;
        return true;
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
        if (boundVao_ == m.vao)
            boundVao_ = ~0u; // its name may come back for another
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

    static constexpr uint32_t kTextured = 1, kHasColour = 2, kLighting = 4, kSpecular = 8,
                              kNormalize = 16, kAlphaTest = 32, kFogShift = 6, kLightShift = 8;
    // Every switch on, point lights: the program that can stand in for any other.
    static constexpr uint32_t kAllSwitches = kTextured | kHasColour | kLighting | kSpecular |
                                             kNormalize | kAlphaTest | (3u << kFogShift) |
                                             (0x2Au << kLightShift);

    Window& window_;
    GLuint fanVao_ = 0, fanVbo_ = 0, sampler_ = 0, magSampler_ = 0;
    bool filtersDiffer_ = false, magSamplerBound_ = false, mipFiltering_ = false;
    GLuint boundVao_ = ~0u;
    size_t fanCapacity_ = sizeof(FanVertex) * 4096, fanUsed_ = 0;
    std::vector<FanVertex> cropped_; // the pieces of the quad being drawn
    GLint maxTextureSize_ = 2048;
    std::unordered_map<uint32_t, Program> programs_;
    Program* current_ = nullptr;
    std::unordered_map<TextureId, Texture> textures_;
    std::unordered_map<MeshId, Mesh> meshes_;
    std::unordered_map<MeshId, uint32_t> meshIndexCount_;
    uint32_t nextId_ = 1;
    TextureId bound_ = 0, target_ = 0;
    bool boundOpaque_ = true;
    // Generations of the uniform groups (each program keeps the ones it last received).
    uint64_t transformGen_ = 1, lightsGen_ = 1, stateGen_ = 1, derivedGen_ = 0;
    glm::mat4 world_{1.0f}, view_{1.0f}, projection_{1.0f}, worldView_{1.0f};
    glm::mat3 normalMatrix_{1.0f};
    Cull cull_ = Cull::CounterClockwise;
    bool depthTest_ = true, depthWrite_ = true, alphaTest_ = false, lighting_ = false,
         specular_ = false, normalize_ = false, fogOn_ = false;
    bool blending_ = false, blendOn_ = false, blendKnown_ = false;
    Blend blendSrc_ = Blend::SrcAlpha, blendDst_ = Blend::InvSrcAlpha;
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

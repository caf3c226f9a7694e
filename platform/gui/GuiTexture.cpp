#include "platform/gui/GuiTexture.h"

#include <epoxy/gl.h>
#include <stb_image.h>

#include <string>
#include <utility>

#include "platform/Paths.h"

namespace kv {

GuiTexture::~GuiTexture() {
    clear();
}

GuiTexture::GuiTexture(GuiTexture&& o) noexcept
    : tex_(std::exchange(o.tex_, 0)), w_(o.w_), h_(o.h_) {}

GuiTexture& GuiTexture::operator=(GuiTexture&& o) noexcept {
    if (this != &o) {
        clear();
        tex_ = std::exchange(o.tex_, 0);
        w_ = o.w_;
        h_ = o.h_;
    }
    return *this;
}

void GuiTexture::clear() {
    if (tex_)
        glDeleteTextures(1, &tex_);
    tex_ = 0;
    w_ = h_ = 0;
}

bool GuiTexture::load(std::string_view contentPath, bool cyanKey) {
    std::string bytes;
    if (!readWholeFile(contentPath, bytes)) {
        clear();
        return false;
    }
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                              static_cast<int>(bytes.size()), &w, &h, &n, 4);
    if (!px) {
        clear();
        return false;
    }
    if (cyanKey) {
        for (int i = 0; i < w * h; ++i) {
            unsigned char* p = px + i * 4;
            if (p[0] == 0 && p[1] == 255 && p[2] == 255)
                p[3] = 0;
        }
    }
    upload(px, w, h);
    stbi_image_free(px);
    return true;
}

void GuiTexture::upload(const uint8_t* rgba, int w, int h) {
    GLint old = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &old);
    if (!tex_)
        glGenTextures(1, &tex_);
    glBindTexture(GL_TEXTURE_2D, tex_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (w != w_ || h != h_) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        w_ = w;
        h_ = h;
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(old));
}

} // namespace kv

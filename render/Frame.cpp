#include "render/Frame.h"

#include "platform/Text.h"
#include "platform/gfx/Matrix.h"
#include "render/Camera.h"
#include "render/Effects.h"
#include "render/Hud.h"
#include "render/Renderer.h"
#include "render/ScreenShot.h"
#include "shell/GameState.h"

namespace kv {

constexpr const char* kVersion = "0.61a";

Frame::Frame(Renderer& renderer, Hud& hud, Effects& effects, Camera& camera, Game& game,
             TextRaster& raster, ScreenShot& screenShot)
    : r_(renderer), hud_(hud), effects_(effects), camera_(camera), game_(game), raster_(raster),
      screenShot_(screenShot) {
    setFont(0, 12);
}

void Frame::finish() {
    screenShot_.captureIfRequested();
    r_.endFrame();
}

void Frame::drawGameFrame() {
    if (game_.localSlot >= kSlots || !game_.inGame)
        return;
    camera_.updateCamera();
    if (!r_.beginFrame(0xFF000000))
        return;
    Device& d = r_.device();
    r_.enableFog(true);
    // The map before the sky: where it covers the screen the sky's pixels fail the depth test
    // before they are shaded. The map is opaque, so nothing of it blends with what lay behind.
    d.setLighting(true);
    if (hooks.drawMap)
        hooks.drawMap();
    d.setLighting(false);
    if (hooks.drawScenery)
        hooks.drawScenery();
    d.setLighting(true);
    int local = game_.localSlot;
    if (game_.drawLocalModel && hooks.drawCharacter)
        hooks.drawCharacter(local);
    int view = game_.viewSlot < kSlots ? game_.viewSlot : local;
    if (view != local)
        effects_.drawNameTag(local);
    if (hud_.slots[view].damageValue)
        effects_.drawDamageTag(view);
    bool localAlive = game_.players[local].alive != 0;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (slot == local || !game_.players[slot].inUse)
            continue;
        // A fighter wholly outside the view costs nothing: with his weapon raised he fits in
        // this sphere around his middle.
        const PlayerState& p = game_.players[slot];
        if (hooks.drawCharacter && r_.inView({p.x, p.y + 60, p.z}, 300))
            hooks.drawCharacter(slot);
        if (localAlive && (game_.distanceToLocal[slot] >= 2000 ||
                           game_.heightToLocal[slot] >= 200 || game_.heightToLocal[slot] <= -200))
            continue;
        effects_.drawNameTag(slot);
        // The viewed slot's damage tag is already drawn.
        if (hud_.slots[slot].damageValue && slot != view)
            effects_.drawDamageTag(slot);
    }
    if (r_.settings.effectCount != 0)
        for (int slot = 0; slot < kSlots; ++slot)
            effects_.drawEffects(slot);
    d.setCull(Cull::None);
    d.setLighting(false);
    hud_.draw();
    if (game_.presetEntry == 1 && hooks.drawPresetMenu)
        hooks.drawPresetMenu();
    finish();
}

void Frame::drawInterludeFrame() {
    r_.view = mx::lookAt({0, 0, -1.11f}, {0, 0, 0}, {0, 1, 0});
    if (!r_.beginFrame(0xFF000000))
        return;
    r_.device().setCull(Cull::None);
    r_.enableFog(false);
    int picture = tex::LoadImage01 + (game_.interludePicture % 10);
    r_.drawQuad(r_.texture(picture), {-16, -16, 16, 16}, 0xFFFFFFFF,
                mx::scaling(0.03f) * mx::translation(0, 0, 0));
    finish();
}

void Frame::drawTitleFrame() {
    r_.view = mx::lookAt({0, 0, -1.11f}, {0, 0, 0}, {0, 1, 0});
    if (!r_.beginFrame(0xFF000000))
        return;
    Device& d = r_.device();
    d.setCull(Cull::None);
    d.setLighting(false);
    r_.enableFog(false);
    if (hooks.drawTitle)
        hooks.drawTitle();
    if (!r_.settings.noTitleEffects && r_.settings.effectCount != 0) {
        r_.useHudView();
        effects_.drawEffects(0);
    }
    int w = d.width(), h = d.height();
    setFont(10, 20);
    drawText(20, h - 20, w - 120, h, 0xC0FFFFFF, helpLine);
    setFont(8, 15);
    drawText(w - 100, h - 20, w, h, 0xC0FFFFFF, std::string("Ver ") + kVersion);
    finish();
}

void Frame::setFont(int width, int height, const std::string& face) {
    font_ = {face.empty() ? sjis("MS UI Gothic") : face, width, height};
}

void Frame::drawText(int left, int top, int right, int bottom, Colour colour,
                     const std::string& text) {
    Device& d = r_.device();
    int w = right - left, h = bottom - top;
    if (text.empty() || w <= 0 || h <= 0 || d.headless())
        return;
    // Text is rasterised again only when it, its font or its colour changed.
    std::string key = std::to_string(w) + "x" + std::to_string(h) + "," + font_.face + "," +
                      std::to_string(font_.width) + "," + std::to_string(font_.height) + "," +
                      std::to_string(colour) + "," + text;
    auto it = textCache_.find(std::make_pair(left, top));
    if (it == textCache_.end() || it->second.key != key) {
        Image img{w, h, std::vector<uint8_t>(size_t(w) * h * 4, 0)};
        raster_.draw(img, font_, 0, 0, w, colour, text);
        if (it != textCache_.end())
            d.releaseTexture(it->second.texture);
        it = textCache_.insert_or_assign({left, top}, CachedText{key, d.createTexture(img, false)})
                 .first;
    }
    // Window pixels into the 1024 x 768 virtual screen.
    float sx = 1024.0f / d.width(), sy = 768.0f / d.height();
    d.setAlphaTest(false, 0x10);
    r_.drawScreenQuad(it->second.texture, left * sx, top * sy, right * sx, bottom * sy, 0xFFFFFFFF);
    d.setView(r_.view);
    d.setProjection(r_.projection);
}

} // namespace kv

#include "render/Hud.h"

#include "sim/Weapons.h"

#include <cstring>

#include "platform/Clock.h"
#include "platform/Text.h"
#include "platform/gfx/Matrix.h"
#include "render/HudMath.h"
#include "render/MessageLog.h"
#include "shell/GameState.h"

namespace kv {
namespace {

constexpr QuadCorners kFpsQuad{0, -3, 15, 0};
constexpr QuadCorners kBannerQuad{-30, -15, 30, 15};
constexpr QuadCorners kStatusQuad{-32, -5, 32, 5};
constexpr QuadCorners kNumberQuad{-5, -2, 5, 2};
constexpr QuadCorners kIconQuad{-2, -2, 2, 2};
constexpr QuadCorners kPocketQuad{-1.5f, -1.5f, 1.5f, 1.5f};
constexpr QuadCorners kChatQuad{-20, -4, 20, 4};
constexpr QuadCorners kLogQuad{-15, -8, 15, 7};
constexpr QuadCorners kScreenQuad{-16, -16, 16, 16};
constexpr float kHudScale = 0.0144f;
// The rim of text that floats over the scene (log lines, name tags, the HP and SP numbers in
// their windows).
constexpr Colour kTextRim = 0xC0000000;

// Round banners by match phase; phases without a banner have -1.
constexpr int kBanner[] = {-1, tex::Ready, -1, tex::Go, tex::Winner, tex::Draw, tex::Lose};

} // namespace

Hud::Hud(Renderer& renderer, Game& game, MessageLog& log, Clock& clock, TextRaster& raster)
    : r_(renderer), game_(game), log_(log), clock_(clock), raster_(raster),
      uiGothic_(sjis("MS UI Gothic")), gothic_(sjis("ＭＳ ゴシック")),
      pop_(sjis("HG創英角ﾎﾟｯﾌﾟ体")) {
    damageShown_.fill(-1);
    lightShown_.fill(-1);
}

TextureId Hud::scratch(int width, int height) {
    auto key = std::make_pair(width, height);
    auto it = scratch_.find(key);
    if (it != scratch_.end())
        return it->second;
    Image blank{width, height, std::vector<uint8_t>(size_t(width) * height * 4, 0)};
    TextureId t = r_.device().createTexture(blank, false);
    scratch_[key] = t;
    return t;
}

void Hud::renderTextTarget(int slot, bool clear, int left, int top, int right,
                           const std::string& text, const FontSpec& font, int backgroundSlot,
                           Colour textColour, Colour backgroundColour, bool wrap, Colour outline) {
    TextureId target = r_.texture(slot);
    glm::ivec2 size = r_.textureSize(slot);
    if (!target)
        return;
    Device& d = r_.device();
    d.setRenderTarget(target);
    d.setView(glm::mat4(1.0f));
    d.setProjection(glm::mat4(1.0f));
    d.setCull(Cull::None);
    d.setLighting(false);
    d.enableFog(false);
    d.setAlphaTest(false, 0x10);
    d.setBlending(true);
    d.setBlendFunc(Blend::SrcAlpha, Blend::InvSrcAlpha);
    if (clear) {
        d.clear(0x00000000, false);
        if (TextureId bg = r_.texture(backgroundSlot))
            r_.drawQuad(bg, {-1, -1, 1, 1}, backgroundColour, glm::mat4(1.0f));
    }
    if (!text.empty() && !d.headless()) {
        Image img{size.x, size.y, std::vector<uint8_t>(size_t(size.x) * size.y * 4, 0)};
        raster_.draw(img, font, left, top, right, textColour, text, wrap, outline);
        TextureId s = scratch(size.x, size.y);
        d.updateTexture(s, img);
        r_.drawQuad(s, {-1, -1, 1, 1}, 0xFFFFFFFF, glm::mat4(1.0f));
    }
    d.setRenderTarget(0);
    d.setView(r_.view);
    d.setProjection(r_.projection);
    d.setCull(Cull::CounterClockwise);
}

void Hud::updateTextTargets() {
    const RenderSettings& s = r_.settings;
    int v = game_.viewSlot < kSlots ? game_.viewSlot : 0;
    const PlayerState& p = game_.players[v];
    if (!s.hideFps && game_.fps != fpsShown_) {
        fpsShown_ = game_.fps;
        renderTextTarget(tex::TextFps, true, 55, 4, 128, std::to_string(fpsShown_),
                         {uiGothic_, 0, 26}, tex::Fps, 0xFF000000, 0xFFFFFFFF);
    }
    if (p.hp != hpShown_) {
        hpShown_ = p.hp;
        renderTextTarget(tex::TextHp, true, 4, 4, 128, std::to_string(hpShown_),
                         {uiGothic_, 12, 20}, tex::NoBitmap, 0xFFB70707, 0xFFFFFFFF, true,
                         kTextRim);
    }
    if (p.sp != spShown_) {
        spShown_ = p.sp;
        renderTextTarget(tex::TextSp, true, 4, 4, 128, std::to_string(spShown_),
                         {uiGothic_, 12, 20}, tex::NoBitmap, 0xFF76A9EB, 0xFFFFFFFF, true,
                         kTextRim);
    }
    for (int slot = 0; slot < kSlots; ++slot) {
        std::string name = fromField(game_.playerNames[slot].data(), kNameBytes + 1);
        if (name != namesShown_[slot]) {
            namesShown_[slot] = name;
            renderTextTarget(tex::NameTag0 + slot, true,
                             hud::nameTagLeft(static_cast<int>(name.size())), 10, 256, name,
                             {uiGothic_, 0, 22}, tex::NoBitmap, 0xFFFF0000, 0xFFFFFFFF, false,
                             kTextRim);
        }
        const SlotDisplay& sd = slots[slot];
        if (sd.damageValue != damageShown_[slot] || sd.lightHit != lightShown_[slot]) {
            damageShown_[slot] = sd.damageValue;
            lightShown_[slot] = sd.lightHit;
            renderTextTarget(tex::DamageTag0 + slot, true, 20, 10, 128,
                             std::to_string(sd.damageValue), {pop_, 0, 40},
                             sd.lightHit ? tex::NoBitmap : tex::Damage, 0xFFFF4020, 0xFFFF00FF,
                             false);
        }
    }
    if (!s.hideChat && log_.ageLog()) {
        // Oldest line on top, 14 pixels a row; each line in its own colour.
        TextureId target = r_.texture(tex::TextLog);
        if (target) {
            renderTextTarget(tex::TextLog, true, 1, 0, 255, "", {}, tex::NoBitmap, 0, 0xFFFFFFFF);
            int row = 0;
            const auto& lines = log_.lines();
            for (int i = MessageLog::kLines - 1; i >= 0; --i) {
                if (lines[i].text.empty())
                    continue;
                renderTextTarget(tex::TextLog, false, 1, row * 14, 255, lines[i].text,
                                 {uiGothic_, 0, 12}, -1, static_cast<Colour>(lines[i].colour), 0,
                                 true, kTextRim);
                ++row;
            }
        }
    }
    // The chat line is drawn every frame; a closed line is reset instead.
    ChatLineView chat = chatLine ? chatLine() : ChatLineView{};
    if (!chat.shown) {
        if (resetChat)
            resetChat();
    } else {
        FontSpec f{gothic_, 8, 24};
        renderTextTarget(tex::TextChat, true, 13, 80, 280, chat.line, f, tex::ChatForm, 0xFFFFFFFF,
                         0xFFFFFFFF, false);
        if (chat.composing)
            renderTextTarget(tex::TextChat, false,
                             13 + raster_.measure(f, chat.composition + chat.line), 80, 512, "|", f,
                             -1, 0xFFFFBEBE, 0, false);
        if (!chat.composition.empty())
            renderTextTarget(tex::TextChat, false, 13 + raster_.measure(f, chat.line), 80, 512,
                             chat.composition, f, -1, 0xFF00FFFF, 0, false);
    }
    chatShown_ = chat.shown;
}

void Hud::drawElement(int texSlot, const QuadCorners& q, Colour c, float scale, float x, float y) {
    r_.drawQuad(r_.texture(texSlot), q, c, mx::scaling(scale) * mx::translation(x, y, 0));
}

void Hud::startFlash(int strength) {
    flashStart_ = strength;
    flashTime_ = clock_.now();
    flashActive_ = strength > 0;
}

void Hud::draw() {
    Device& d = r_.device();
    r_.useHudView();
    d.setCull(Cull::None);
    d.setLighting(false);
    d.enableFog(false);
    r_.alphaTestOn();
    int v = game_.viewSlot < kSlots ? game_.viewSlot : 0;
    const PlayerState& p = game_.players[v];
    const PlayerEquip& e = game_.equips[v];

    if (!r_.settings.hideFps)
        drawElement(tex::TextFps, kFpsQuad, 0xAAFFFFFF, 0.01f, 0.35f, -0.28f);

    bool shieldShown = carriesShield(e);
    const int icons[3] = {tex::ShieldIcon0 + (shieldShown ? e.shield : 0),
                          tex::ArmourIcon0 + e.armour, tex::WeaponIcon0 + e.weapon};
    for (int i = 0; i < 3; ++i) {
        float x = 0.215f + 0.07f * i;
        drawElement(icons[i], kIconQuad, 0xEEFFFFFF, kHudScale, x, -0.355f);
        if (game_.selectedEquip == i)
            drawElement(tex::EqiCursor, kIconQuad, 0xEEFFFFFF, kHudScale, x, -0.355f);
    }
    for (int i = 0; i < 5; ++i) {
        float x = 0.185f + 0.05f * i;
        drawElement(tex::ItemIcon0 + e.items[i], kPocketQuad, 0xEEFFFFFF, kHudScale, x, -0.42f);
        if (game_.selectedEquip == i + 3)
            drawElement(tex::EqiCursor, kPocketQuad, 0xEEFFFFFF, kHudScale, x, -0.42f);
    }
    if (float w = hud::barWidth(p.hp); w > 0)
        drawElement(tex::HpBar, {0, 0, w, 2.8f}, 0xEEFFFFFF, kHudScale, -0.324f, -0.378f);
    if (float w = hud::barWidth(p.sp); w > 0)
        drawElement(tex::SpBar, {0, 0, w, 2.8f}, 0xEEFFFFFF, kHudScale, -0.324f, -0.435f);
    drawElement(tex::TextHp, kNumberQuad, 0xDDFFFFFF, kHudScale, -0.365f, -0.36f);
    drawElement(tex::TextSp, kNumberQuad, 0xDDFFFFFF, kHudScale, -0.365f, -0.415f);
    drawElement(tex::Status, kStatusQuad, 0xEEFFFFFF, kHudScale, 0, -0.386f);
    if (!log_.empty())
        drawElement(tex::TextLog, kLogQuad, 0xFFFFFFFF, kHudScale, -0.245f, 0.36f);
    if (!r_.settings.hideChat && chatShown_)
        drawElement(tex::TextChat, kChatQuad, 0xFFFFFFFF, kHudScale, 0, 0.1f);
    if (game_.matchPhase < std::size(kBanner) && kBanner[game_.matchPhase] >= 0)
        drawElement(kBanner[game_.matchPhase], kBannerQuad, 0xAAFFFFFF, kHudScale, 0, 0);
    if (game_.cameraMode == 1)
        drawElement(tex::AttackCursor, kIconQuad, 0xEEFFFFFF, kHudScale, 0, 0);
    if (flashActive_) {
        int s = hud::flashStrength(flashStart_, clock_.now() - flashTime_);
        if (s == 0)
            flashActive_ = false;
        else
            drawElement(tex::WhiteBitmap, kScreenQuad,
                        (Colour(hud::flashAlpha(s)) << 24) | 0x00FF0000, 0.03f, 0, 0);
    }
}

} // namespace kv

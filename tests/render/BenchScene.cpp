#include "BenchScene.h"

#include <cmath>
#include <filesystem>

#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/gfx/Matrix.h"
#include "render/Settings.h"
#include "ui/TitleDraw.h"

namespace kv {
namespace {

// The highest floor under (x, z) in the map's collision copy; 0 without one.
float floorAt(const CollisionTriangles& c, float x, float z) {
    float best = -1e9f;
    for (size_t i = 0; i + 2 < c.indices.size(); i += 3) {
        const glm::vec3 a = c.vertices[c.indices[i]], b = c.vertices[c.indices[i + 1]],
                        d = c.vertices[c.indices[i + 2]];
        const float det = (b.x - a.x) * (d.z - a.z) - (d.x - a.x) * (b.z - a.z);
        if (std::abs(det) < 1e-6f)
            continue; // a wall
        const float u = ((x - a.x) * (d.z - a.z) - (d.x - a.x) * (z - a.z)) / det;
        const float v = ((b.x - a.x) * (z - a.z) - (x - a.x) * (b.z - a.z)) / det;
        if (u < 0 || v < 0 || u + v > 1)
            continue;
        best = std::max(best, a.y + u * (b.y - a.y) + v * (d.y - a.y));
    }
    return best < -1e8f ? 0 : best;
}

} // namespace

bool BenchScene::open(bool hidden) {
    if (!window_.open({"render bench", 1024, 768, hidden, false})) {
        error = "no window: " + window_.error();
        return false;
    }
    device_ = Renderer::createDevice(window_, boxes_);
    if (!device_) {
        error = "no device";
        return false;
    }
    log_ = std::make_unique<MessageLog>(clock_);
    raster_ = std::make_unique<TextRaster>();
    renderer_ = std::make_unique<Renderer>(*device_, boxes_);
    renderer_->setDefaultStates();
    renderer_->setProjection(45);
    renderer_->createSpriteAndTextTargets();
    for (int group : textureLoadOrder())
        for (int i = 0; i < textureGroup(group)->count; ++i)
            if (renderer_->loadTexture(group, i) != 1) {
                error = "missing " + renderer_->missingFile() + " (run from the game folder)";
                return false;
            }
    hud_ = std::make_unique<Hud>(*renderer_, game_, *log_, clock_, *raster_);
    effects_ = std::make_unique<Effects>(*renderer_, *hud_, game_, clock_);
    camera_ = std::make_unique<Camera>(*renderer_, *hud_, game_);
    shot_ = std::make_unique<ScreenShot>(*device_, *log_);
    frame_ =
        std::make_unique<Frame>(*renderer_, *hud_, *effects_, *camera_, game_, *raster_, *shot_);

    if (!data_.loadMaps() || !data_.loadWeapons() || !data_.loadShields() || !data_.loadItems() ||
        !data_.loadAnimSets(anim_.tables) || !data_.loadActionMaps(anim_.tables)) {
        error = "the content lists do not load";
        return false;
    }
    models_ = std::make_unique<Models>(*device_, game_, data_, random_);
    bool loaded = true;
    for (int i = 0; i < 5 && loaded; ++i)
        loaded = models_->loadPart(0, i, 0) == 1 && models_->loadPart(1, i, 0) == 1;
    for (int i = 0; i < 9 && loaded; ++i)
        loaded = models_->loadPart(2, i, 0) == 1;
    for (int i = 0; i < 15 && loaded; ++i)
        loaded = models_->loadPart(3, i, 0) == 1;
    for (int i = 1; i < data_.weaponCount(); ++i)
        models_->loadPart(4, i, 0); // staff and bow draw from these
    for (int b = 0; b < 5 && loaded; ++b)
        for (int style = 1; style <= 5 && loaded; ++style)
            loaded = models_->loadPart(11, style, b) == 1;
    game_.mapIndex = 0;
    if (!loaded || !models_->reloadMapModels(false)) {
        error = "the models or map 0 do not load";
        return false;
    }
    models_->setupLights();
    renderer_->map = mapViewOf(data_.map(0));
    renderer_->fogSet = 0;

    game_.appState = AppState::Playing;
    game_.inGame = 1;
    game_.localSlot = 0;
    game_.matchPhase = 3;
    game_.presetEntry = 1; // the preset-menu hook is the last drawing before a frame is shown
    game_.animStep = 8;
    placeFighters();
    for (int i = 0; i < 6; ++i)
        log_->addLogLine(0xFFFFFFFF, sjis("ベンチマークの行です ") + std::to_string(i));

    frame_->hooks.drawPresetMenu = [this] { keep(); };
    title_ = std::make_unique<TitleScreen>(random_, TitleLinks{});
    frame_->helpLine = sjis("マウスで項目を選んでください");
    frame_->hooks.drawTitle = [this] {
        drawTitleQuads(*device_, title_->frame(),
                       [this](int slot) { return renderer_->texture(slot); });
    };
    return true;
}

// The local fighter on start point 0 facing the map's centre, 31 others on the floor in four
// rows in front of him, facing him, each with other equipment and hair, every third attacking,
// every third walking.
void BenchScene::placeFighters() {
    const auto& start = data_.map(0).points[0];
    const float yaw = std::atan2(start[0], start[2]) / mx::kDegToRad;
    const glm::vec2 forward(-std::sin(yaw * mx::kDegToRad), -std::cos(yaw * mx::kDegToRad));
    const glm::vec2 right(-forward.y, forward.x);
    const int weapons[10] = {2, 1, 3, 4, 5, 6, 7, 8, 9, 0};
    for (int s = 0; s < kSlots; ++s) {
        PlayerState& p = game_.players[s];
        p = PlayerState{};
        glm::vec2 at(start[0], start[2]);
        if (s > 0) {
            const int row = (s - 1) / 8, column = (s - 1) % 8;
            at += forward * (260.0f + 110.0f * float(row) + 30.0f * float(column % 2)) +
                  right * (float(column) - 3.5f) * 80.0f;
        }
        p.x = at.x;
        p.z = at.y;
        p.y = floorAt(models_->collision(), at.x, at.y) + 5; // the model hangs 6 below y
        p.yaw = s == 0 ? yaw : yaw + 180;
        p.inUse = p.alive = 1;
        p.hp = 8000;
        p.sp = 5000;
        setWeapon(game_.equips[s], uint8_t(weapons[s % 10]));
        game_.equips[s].shield = uint8_t(s % 4 == 1 ? 1 + s % 3 : 0);
        game_.looks[s].hair = uint8_t(1 + s % 5);
        game_.actions[s].action = uint8_t(s % 3 == 0   ? ActAttack
                                          : s % 3 == 1 ? ActWalkForward
                                                       : ActIdle);
        game_.distanceToLocal[s] = glm::length(at - glm::vec2(start[0], start[2]));
        game_.heightToLocal[s] = p.y - game_.players[0].y;
        copyToField(game_.playerNames[s].data(), kNameBytes + 1, "Fighter" + std::to_string(s));
    }
}

void BenchScene::drawFighter(int slot) {
    CharacterDraw how;
    how.poseTime = anim_.poseTime[slot];
    how.drawHeight = game_.players[slot].y;
    how.yaw = game_.players[slot].yaw;
    how.drawBody = slot != game_.localSlot || game_.drawLocalModel;
    how.showHair = true;
    models_->drawCharacter(slot, how);
}

void BenchScene::openTitleMenu() {
    while (!title_->introDone())
        title_->frame();
    title_->tick(device_->width(), device_->height()); // the first tick only sets it up
    title_->key(kVkReturn);
    title_->key(kVkRight);
    for (int i = 0; i < 60; ++i) {
        title_->tick(device_->width(), device_->height());
        title_->frame();
    }
}

void BenchScene::setFighters(int count) {
    for (int s = 0; s < kSlots; ++s)
        game_.players[s].inUse = s < count;
}

void BenchScene::step() {
    clock_.advance(16);
    ++frameNo_;
    for (int s = 0; s < kSlots; ++s)
        anim_.advance(s, 0.9f);
}

void BenchScene::keep() {
    if (keep_)
        last_ = device_->readPixels();
}

void BenchScene::emptyFrame() {
    step();
    renderer_->beginFrame(0xFF000000);
    keep();
    renderer_->endFrame();
}

void BenchScene::screenQuadFrame() {
    step();
    renderer_->beginFrame(0xFF000000);
    device_->setLighting(false);
    device_->enableFog(false);
    device_->setAlphaTest(false, 0x10);
    renderer_->drawScreenQuad(renderer_->texture(tex::TitleBack), 0, 0, 1024, 768, 0xFFFFFFFF);
    keep();
    renderer_->endFrame();
}

void BenchScene::sceneFrame(bool fighters) {
    step();
    game_.appState = AppState::Playing;
    camera_->updateCamera();
    if (!renderer_->beginFrame(0xFF000000))
        return;
    // The order of the game frame (render/Frame.cpp) up to the characters.
    renderer_->enableFog(true);
    device_->setLighting(true);
    models_->drawMap();
    device_->setLighting(false);
    models_->drawScenery();
    device_->setLighting(true);
    for (int s = 0; fighters && s < kSlots; ++s) {
        const PlayerState& p = game_.players[s];
        if (s == game_.localSlot || renderer_->inView({p.x, p.y + 60, p.z}, 300))
            drawFighter(s);
    }
    keep();
    renderer_->endFrame();
}

void BenchScene::gameFrame(bool withModels) {
    step();
    game_.appState = AppState::Playing;
    game_.fps = 60 + frameNo_ % 7; // the frame-rate text is redrawn as it changes
    game_.players[0].hp = int16_t(8000 - (frameNo_ % 50) * 10);
    if (frameNo_ % 10 == 0)
        effects_->spawnEffect(1 + frameNo_ % 7, 11, 0, 0.3f, clock_.now());
    if (withModels) {
        frame_->hooks.drawScenery = [this] { models_->drawScenery(); };
        frame_->hooks.drawMap = [this] { models_->drawMap(); };
        frame_->hooks.drawCharacter = [this](int slot) { drawFighter(slot); };
    } else {
        frame_->hooks.drawScenery = {};
        frame_->hooks.drawMap = {};
        frame_->hooks.drawCharacter = {};
    }
    frame_->drawGameFrame();
}

void BenchScene::titleFrame() {
    step();
    game_.appState = AppState::Title;
    if (frameNo_ % 10 == 0)
        effects_->spawnTitleEffect(1, 300, 300, clock_.now());
    title_->tick(device_->width(), device_->height());
    if (!keep_) {
        frame_->drawTitleFrame();
        return;
    }
    // The title frame has no hook before it is shown: it is taken as a screenshot.
    const std::filesystem::path here = std::filesystem::current_path();
    const std::filesystem::path shots = std::filesystem::temp_directory_path() / "kv-bench-shots";
    std::filesystem::create_directories(shots);
    std::filesystem::current_path(shots);
    shot_->request({});
    frame_->drawTitleFrame();
    std::string bmp;
    last_ = {};
    if (readWholeFile(cp932ToUtf8(ScreenShot::fileName({})), bmp))
        decodeImage(bmp.data(), bmp.size(), false, last_);
    std::filesystem::current_path(here);
    std::filesystem::remove_all(shots);
}

} // namespace kv

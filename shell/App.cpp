#include "shell/App.h"

#include "models/ModelFiles.h"

#include "audio/AudioLoads.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "platform/gui/GuiMessageBoxes.h"
#include "render/Settings.h"
#include "render/TextureTable.h"
#include "shell/LoadingPlugs.h"
#include "ui/ServerSettingsDialog.h"
#include "ui/TitleDraw.h"

#include <SDL.h>
#include <chrono>
#include <ctime>

namespace kv {
namespace {

constexpr const char* kGameName = "Kestrava";
constexpr Colour kBlack = 0xFF000000;

// The editors the title menu starts, by sub-entry; editorRunning is the sub-entry + 1.
struct Editor {
    const char* name;    // executable in the game folder, and its lock
    const char* refusal; // shown when the game is started while it is open
};
constexpr Editor kEditors[2] = {
    {"オプション",
     "オプションを開いてる間はゲームを起動できません。\n終了させてから再度起動させてく"
     "ださい。"},
    {"Tessaro", "Tessaroを開いてる間はゲームを起動できません。\n終了させてから再度起動させてくだ"
                "さい。"},
};

// Bytes of the CP932 form of the first `chars` characters of a UTF-8 text.
size_t cp932BytesOfPrefix(std::string_view utf8, int chars) {
    size_t i = 0;
    for (int n = 0; n < chars && i < utf8.size(); ++n) {
        ++i;
        while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80)
            ++i;
    }
    return utf8ToCp932(utf8.substr(0, i)).size();
}

// The title screen speaks in the original's virtual-key numbers.
int virtualKey(int sdlKey) {
    switch (sdlKey) {
    case SDLK_LEFT:
        return kVkLeft;
    case SDLK_UP:
        return kVkUp;
    case SDLK_RIGHT:
        return kVkRight;
    case SDLK_DOWN:
        return kVkDown;
    case SDLK_KP_ENTER:
        return kVkReturn;
    default:
        // Backspace, Enter, Esc and the digits share their numbers; letters are upper case.
        return sdlKey >= 'a' && sdlKey <= 'z' ? sdlKey - 'a' + 'A' : sdlKey;
    }
}

} // namespace

void SdlTextInput::setOpen(bool open) {
    if (open)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

// Restarting text input makes the input method drop its composition.
void SdlTextInput::cancelComposition() {
    SDL_StopTextInput();
    SDL_StartTextInput();
}

Drawing::Drawing(std::unique_ptr<Device> d, MessageBoxes& boxes, Game& game, MessageLog& log,
                 Clock& clock, TextRaster& raster, DataLoader& data, Random& random)
    : device(std::move(d)), renderer(*device, boxes), hud(renderer, game, log, clock, raster),
      effects(renderer, hud, game, clock), camera(renderer, hud, game), screenShot(*device, log),
      frame(renderer, hud, effects, camera, game, raster, screenShot),
      models(*device, game, data, random) {}

App::App()
    : boxes_(makeMessageBoxes(clock_)), random_(clock_.now()),
      world_(clock_, random_, data_, effectSounds_, *this, *this,
             TickLinks{.titleTick = [this] { titleTick(); },
                       .closeIme = [this] { chat_.setIme(false); }}),
      game_(world_.game), session_(data_), sound_(game_, data_.options().sound, presets_, *boxes_),
      log_(clock_),
      title_(random_,
             TitleLinks{.playInterface = [this](int no) { sound_.restartInterfaceSound(no); },
                        .startTitleMusic = [this] { sound_.playTrack(0); },
                        .spawnEffect =
                            [this](float x, float y, int kind) {
                                if (drawing_)
                                    drawing_->effects.spawnTitleEffect(kind, x, y, clock_.now());
                            },
                        .runMenuChoice = [this](int main, int sub) { runMenuChoice(main, sub); }}),
      loading_(game_, clock_, *boxes_,
               LoadingLinks{.isHost = [this] { return session_.isHost != 0; },
                            .serverOnly = [this] { return session_.serverOnly != 0; },
                            .closeServer = [this] { net_.closeHostSession(); },
                            .sendJoinRequest = [this] { net_.sendJoinRequest(); },
                            .sendSyncRequest = [this] { net_.sendSyncRequest(); }}),
      net_({game_, session_, sessionInfo_, data_, clock_, random_, world_, *boxes_, log_, loading_,
            [this] { drawLoadingBackdrop(); }}),
      chat_(game_, textInput_, world_.router), keys_(game_, chat_, random_, *this, world_.router),
      effectSounds_(sound_), loop_(clock_, game_, *this) {
    // A blow that chains into a reaching row swings audibly, where that player stands.
    world_.anim.onSwing = [this](int slot) {
        sound_.playEffect(SndSwing, static_cast<uint8_t>(slot), false);
    };
}

App::~App() = default;

int App::run() {
    int code = 0;
    if (startUp())
        code = loop_.run();
    shutDown();
    return code;
}

bool App::startUp() {
    window_.recordDesktopMode();

    instanceLock_ = holdProgramLock(kGameName);
    if (!instanceLock_) {
        boxes_->show(sjis("エラー"),
                     sjis("2重起動のため起動できません。\n終了させてから再度起動させて"
                          "ください。"));
        return false;
    }
    if (refusedByRunningPrograms())
        return false;

    readOptionFiles();

    game_.presetCategory = game_.presetItem = game_.presetVariant = 0;
    game_.presetVoiceCount = static_cast<uint8_t>(countPresetSteps());

    const Options& o = data_.options();
    if (!window_.switchDisplayMode(o.displayWidth, o.displayHeight, o.displayDepth)) {
        trace("winmain", __LINE__, sjis("解像度か色数が対応していません。"), window_.error());
        boxes_->show(sjis("エラー"),
                     sjis("解像度か色数が対応していません。\nオプションで変更してくださ"
                          "い。\n終了します。"));
        return false;
    }

    if (!createDefaultFont(raster_, *boxes_))
        return false;

    Window::Options wo;
    wo.title = kGameName;
    wo.width = o.displayWidth;
    wo.height = o.displayHeight;
    if (!window_.open(wo)) {
        trace("winmain", __LINE__, sjis("ウィンドウを作成できません。"), window_.error());
        return false;
    }
    // The loading dialog draws on the game window, so the device comes before it.
    if (!openDrawing())
        return false;
    // SDL starts with text input on; the chat line switches it on when it opens.
    SDL_StopTextInput();
    editorClosedEvent_ = SDL_RegisterEvents(1);

    gui_ = std::make_unique<Gui>(window_.sdlWindow(), clock_);
    // From here on a box shows inside the game window, over the title when at the title.
    gui_->setBackdrop([this] {
        if (game_.appState == AppState::Title)
            drawLoadingBackdrop();
    });
    if (auto* windowBoxes = dynamic_cast<WindowMessageBoxes*>(boxes_.get()))
        windowBoxes->attach(gui_.get());
    plugLoads();
    game_.loadStage = 0;
    game_.syncDone = 1; // the first-load flag: the program-start stage counts its progress
    if (loading_.run(*gui_, [this] { drawLoadingBackdrop(); }) == 0)
        game_.appState = AppState::Quit;
    if (game_.appState == AppState::Quit)
        return true; // the loop ends after one pass, then the normal shutdown

    resetGame(game_);
    inputDevices_ = std::make_unique<SdlInputDevices>();
    input_ = std::make_unique<Input>(*inputDevices_);
    world_.setInput(&input_->state());
    sound_.updateListener(game_.localSlot);
    return true;
}

bool App::openDrawing() {
    std::unique_ptr<Device> device = Renderer::createDevice(window_, *boxes_);
    if (!device)
        return false;
    drawing_ = std::make_unique<Drawing>(std::move(device), *boxes_, game_, log_, clock_, raster_,
                                         data_, random_);
    drawing_->renderer.settings = renderSettingsFrom(data_.options());
    drawing_->hud.chatLine = [this] {
        return ChatLineView{!chat_.isBlocked(), chat_.composing != 0, chat_.line,
                            chat_.composition};
    };
    drawing_->hud.resetChat = [this] { chat_.clear(); };
    FrameHooks& hooks = drawing_->frame.hooks;
    Models& models = drawing_->models;
    hooks.drawTitle = [this] { drawTitlePictures(); };
    hooks.drawScenery = [&models] { models.drawScenery(); };
    hooks.drawMap = [&models] { models.drawMap(); };
    hooks.drawCharacter = [this](int slot) { drawCharacter(slot); };
    hooks.drawPresetMenu = [this] { drawPresetMenu(); };
    // The hit pulls the segment's end in to it.
    drawing_->camera.ray = [this](const glm::vec3& start, glm::vec3& end) {
        glm::vec3 out(0.0f);
        return collide(world_.map, CollideMode::Nearest, out, start, end) != 0;
    };
    return true;
}

void App::plugLoads() {
    LoadHooks& hooks = loading_.hooks();
    MissingFileMessage& missing = loading_.missing();
    // Opened with the window already: the dialog itself draws with it.
    hooks.createDevice = [this] { return drawing_ != nullptr; };
    plugDataLoads(hooks, data_, faceWear_, missing);
    plugRenderLoads(hooks, drawing_->renderer, faceWear_);
    plugAudioLoads(hooks, sound_, presets_, missing);
    hooks.readAnimationTables = [this, &missing] {
        if (data_.loadAnimSets(world_.anim.tables) && data_.loadActionMaps(world_.anim.tables))
            return true;
        missing.set(data_.message());
        return false;
    };
    hooks.serverOnly = [this] { return session_.serverOnly != 0; };

    Models& models = drawing_->models;
    models.onMissing = [&missing](const std::string& folder, const std::string& name) {
        missing.report(folder, name);
    };
    hooks.setupSceneLights = [&models] {
        models.setupLights();
        return true;
    };
    hooks.models = [this](ModelGroup group) { return modelFiles(group); };
    hooks.mapFile = [&models, this] { return models.partFile(10, 0, 0).second; };
    hooks.loadStatic = [this](const std::string& folder, const std::string& name) {
        return loadStatic(folder, name);
    };
    hooks.clearFog = [this] { drawing_->renderer.fogSet = 0; };
}

// The catalogue entries of a model group, in loading order.
std::vector<LoadFile> App::modelFiles(ModelGroup group) {
    constexpr int kBodyFiles = int(std::size(model_files::kBodyNames));
    constexpr int kWeaponMotions = int(std::size(model_files::kWeaponMotionFiles));
    struct Range {
        int kind, count, bodyTypes, first;
    };
    const Range r = [&]() -> Range {
        switch (group) {
        case ModelGroup::BodyMotion:
            return {0, kBodyFiles, 1, 0};
        case ModelGroup::HeadMotion:
            return {1, kBodyFiles, 1, 0};
        case ModelGroup::WeaponMotion:
            return {2, kWeaponMotions, 1, 0};
        case ModelGroup::ShieldMotion:
            return {3, 15, 1, 0};
        case ModelGroup::WeaponObject:
            return {4, data_.weaponCount(), 1, 0};
        case ModelGroup::BrokenWeaponObject:
            return {5, data_.weaponCount(), 1, 0};
        case ModelGroup::ItemObject:
            return {6, data_.itemCount(), 1, 0};
        case ModelGroup::ShieldObject:
            return {7, data_.shieldCount(), 1, 0};
        case ModelGroup::BrokenShieldObject:
            return {8, data_.shieldCount(), 1, 0};
        case ModelGroup::Hair:
            return {11, 6, 5, 1}; // hair numbers 1 to 6 of each body type
        }
        return {0, 0, 0, 0};
    }();
    Models& models = drawing_->models;
    std::vector<LoadFile> files;
    for (int body = 0; body < r.bodyTypes; ++body) {
        for (int i = r.first; i < r.first + r.count; ++i) {
            auto [folder, name] = models.partFile(r.kind, i, body);
            int kind = r.kind;
            files.push_back({folder, name, [&models, kind, i, body] {
                                 return models.loadPart(kind, i, body) == 1;
                             }});
        }
    }
    return files;
}

// The map stage names its files; the catalogue knows them as scenery entries and the map.
// Scenery names carry their subfolder ("Map\Sky.x"), so they are told apart by name alone.
bool App::loadStatic(const std::string&, const std::string& name) {
    Models& models = drawing_->models;
    for (int i = 0; i < 4; ++i) {
        if (models.partFile(9, i, 0).second == name)
            return models.loadPart(9, i, 0) == 1;
    }
    if (models.loadPart(10, 0, 0) != 1)
        return false;
    mapLoaded();
    return true;
}

// A map's model is in: its collision copy for the sweep and the camera, its fog and offset.
void App::mapLoaded() {
    const CollisionTriangles& c = drawing_->models.collision();
    world_.setMapTriangles(c.vertices, c.indices);
    if (game_.mapIndex < data_.mapCount())
        drawing_->renderer.map = mapViewOf(data_.map(game_.mapIndex));
    drawing_->renderer.fogSet = 0;
}

void App::drawCharacter(int slot) {
    const Options& o = data_.options();
    const PlayerLook& look = game_.looks[slot];
    Renderer& r = drawing_->renderer;
    CharacterDraw how;
    how.poseTime = world_.anim.poseTime[slot];
    how.drawHeight = game_.players[slot].y;
    how.yaw = game_.players[slot].yaw;
    how.drawBody = !(slot == game_.viewSlot && game_.drawLocalModel == 0);
    how.showHair = o.profile.loadHair != 0;
    how.overrideTextures = o.profile.loadFace != 0 || o.profile.loadWear != 0;
    int face = faceWear_.faceIndex(fromField(look.faceFile, sizeof look.faceFile));
    int wear = faceWear_.wearIndex(fromField(look.wearFile, sizeof look.wearFile));
    how.face = o.profile.loadFace ? r.texture(tex::Face0 + face) : 0;
    how.wear = o.profile.loadWear ? r.texture(tex::Wear0 + wear) : 0;
    drawing_->models.drawCharacter(slot, how);
}

bool App::refusedByRunningPrograms() {
    // The game's own lock is held by now, so no other game exists: an open editor always
    // refuses the start (the original let a game window already beside it count).
    for (const Editor& editor : kEditors) {
        if (isProgramRunning(editor.name)) {
            boxes_->show(sjis("エラー"), sjis(editor.refusal));
            return true;
        }
    }
    return false;
}

void App::readOptionFiles() {
    const ScreenMode& d = window_.desktopMode();
    data_.loadProfileFlags();
    data_.loadGraphics({d.width, d.height, d.bits});
    data_.loadSoundOptions();
    data_.loadKeys();
    data_.loadGameOptions(random_);
    if (drawing_)
        drawing_->renderer.settings = renderSettingsFrom(data_.options());
}

void App::shutDown() {
    net_.close();
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_ShowCursor(SDL_ENABLE);
    world_.setInput(nullptr);
    input_.reset();
    inputDevices_.reset();
    sound_.releaseAll();
    if (auto* windowBoxes = dynamic_cast<WindowMessageBoxes*>(boxes_.get()))
        windowBoxes->attach(nullptr);
    gui_.reset();
    drawing_.reset();
    window_.restoreDisplayMode();
    window_.close();
}

void App::runMenuChoice(int entry, int sub) {
    // The single-play settings entry (1, 1) has no action.
    if (entry == 0 && (sub == 0 || sub == 1))
        startNetworkGame(sub == 0);
    else if (entry == 1 && sub == 0)
        startPractice();
    else if (entry == 2 && (sub == 0 || sub == 1))
        launchEditor(sub);
    else if (entry == 3)
        game_.appState = AppState::Quit;
}

void App::startPractice() {
    session_.isHost = 1;
    game_.practiceMode = 1;
    ServerSettingsLinks links;
    links.chooseNextMap = [this] {
        return static_cast<uint8_t>(rotation::next(data_, session_.loopAll, session_.loopRandom,
                                                   random_, rotationCounter_));
    };
    links.runLoadingDialog = [this] {
        return loading_.run(*gui_, [this] { drawLoadingBackdrop(); }) != 0;
    };
    links.placeAll = [this] { placePracticePlayer(); };
    links.behind = [this] { drawLoadingBackdrop(); };
    bool started = runServerSettings(*gui_, *boxes_, game_, session_, data_, sessionInfo_, links);
    loop_.resumeAfterDialog();
    // A loading that failed has set Quit: the program ends rather than play without content.
    if (game_.appState == AppState::Quit)
        return;
    if (started) {
        enterPlay();
        return;
    }
    game_.practiceMode = 0;
    session_.serverOnly = 0;
    game_.appState = AppState::Title;
}

// Host: the server settings, the host, then its own player joining. Join: the host list, the
// client options and the join's progress. Either ends at the title when it does not start.
void App::startNetworkGame(bool hosting) {
    bool started = hosting ? net_.host(*gui_) : net_.join(*gui_);
    loop_.resumeAfterDialog();
    // A loading that failed has set Quit: the program ends rather than play without content.
    if (game_.appState == AppState::Quit)
        return;
    if (started) {
        enterPlay();
        return;
    }
    resetGame(game_);
    game_.appState = AppState::Title;
}

// The quit key leaves a network game for the title with both sessions closed.
void App::leaveNetworkGame() {
    net_.close();
    chat_.closeLine();
    chat_.clear();
    chat_.setIme(false);
    resetGame(game_);
    SDL_SetRelativeMouseMode(SDL_FALSE);
    for (uint8_t no = 0; no < kEffectSounds; ++no)
        for (uint8_t slot = 0; slot < kSlots; ++slot)
            sound_.stopEffect(no, slot);
}

void App::enterPlay() {
    title_.markNotInitialised();
    game_.appState = AppState::Playing;
    // The cursor hides and the mouse turns the view. What the mouse did in the dialogs must
    // not turn it: the motion gathered since the last poll is dropped.
    SDL_SetRelativeMouseMode(SDL_TRUE);
    SDL_GetRelativeMouseState(nullptr, nullptr);
    sound_.stopTrack(0);
    // A dedicated host plays no sound at all (practice never is one).
    sound_.setServerOnly(session_.serverOnly != 0 && game_.practiceMode == 0);
}

// Practice has one player: slot 0 on a random start point of the map.
void App::placePracticePlayer() {
    if (game_.mapIndex >= data_.mapCount())
        return;
    const MapSpec& map = data_.map(game_.mapIndex);
    if (map.pointCount == 0)
        return;
    const auto& point = map.points[static_cast<size_t>(random_.random(map.pointCount))];
    PlayerState& p = game_.players[0];
    p.x = point[0];
    p.y = point[1];
    p.z = point[2];
    game_.playersNet[0] = game_.playersSpawn[0] = p;
}

// The preset phrase menu over play: the categories, or the items of the chosen category.
// Thin red strokes vanish on a brick wall or a bright floor, so each line sits on a black rim:
// the same line drawn one pixel off in the eight directions first.
void App::drawPresetMenu() {
    Frame& frame = drawing_->frame;
    frame.setFont(0, 14);
    const std::vector<std::string> lines =
        presetMenuLines(presets_, game_.presetDigits, game_.presetCategory);
    const int right = drawing_->device->width();
    // Each line's quads lie at the same depth: without this only the first would be seen.
    drawing_->device->setDepthTest(false);
    for (size_t k = 0; k < lines.size(); ++k) {
        const int top = 230 + 15 * static_cast<int>(k);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (dx != 0 || dy != 0)
                    frame.drawText(50 + dx, top + dy, right + dx, top + 15 + dy, 0xFF000000,
                                   lines[k]);
        frame.drawText(50, top, right, top + 15, 0xFFFF0000, lines[k]);
    }
    drawing_->device->setDepthTest(true);
}

// The quit key ends practice at the title rather than ending the program.
void App::leavePractice() {
    chat_.closeLine();
    chat_.clear();
    chat_.setIme(false);
    game_.players[0] = PlayerState{};
    game_.playersNet[0] = game_.playersSpawn[0] = game_.players[0];
    game_.practiceMode = 0;
    game_.localSlot = kNoSlot;
    session_.isHost = 0;
    session_.serverOnly = 0;
    resetGame(game_);
    SDL_SetRelativeMouseMode(SDL_FALSE);
    // A footstep loop must not walk on at the title. The title's music plays again (when
    // music is on): the intro, which starts it, does not come again.
    for (uint8_t no = 0; no < kEffectSounds; ++no)
        sound_.stopEffect(no, 0);
    sound_.playTrack(0);
}

void App::launchEditor(int sub) {
    uint32_t type = editorClosedEvent_;
    bool watching = editorWatch_.start(kEditors[sub].name, [type](bool started) {
        SDL_Event e{};
        e.type = type;
        e.user.code = started ? 1 : 0;
        SDL_PushEvent(&e);
    });
    // Without a watch nothing would wake the game up again: it stays as it was.
    if (!watching) {
        boxes_->show(sjis("エラー"), sjis("アプリケーションを起動できません。"));
        return;
    }
    loop_.setEditorRunning(static_cast<uint8_t>(sub + 1));
}

void App::editorClosed() {
    if (loop_.editorRunning() == 1) {
        readOptionFiles();
        sound_.reapplyOptions();
    }
    loop_.setEditorRunning(0);
    SDL_RaiseWindow(window_.sdlWindow());
}

bool App::handleEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_QUIT)
            return false;
        handleEvent(e);
    }
    return true;
}

void App::handleEvent(const SDL_Event& e) {
    if (e.type == editorClosedEvent_) {
        if (e.user.code == 0)
            trace("winmain", __LINE__, sjis("アプリケーションを起動できません。"));
        editorClosed();
        return;
    }
    switch (e.type) {
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
            loop_.setActive(true);
        else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            loop_.setActive(false);
        break;
    case SDL_KEYDOWN:
        // The game window takes no input while an editor it started is open.
        if (loop_.editorRunning() != 0)
            break;
        // At the title Esc only goes back to push start (the program ends with 終了 or the
        // close box); in play the player control takes it.
        keys_.keyDown(e.key.keysym.sym);
        break;
    case SDL_TEXTINPUT: {
        std::string text = utf8ToCp932(e.text.text);
        if (text.size() == 1 && !chat_.composing)
            chat_.appendChar(text[0]);
        else
            chat_.compositionResult(text);
        break;
    }
    case SDL_TEXTEDITING: {
        std::string_view utf8 = e.edit.text;
        size_t start = cp932BytesOfPrefix(utf8, e.edit.start);
        size_t end = cp932BytesOfPrefix(utf8, e.edit.start + e.edit.length);
        chat_.compositionChanged(utf8ToCp932(utf8), start, end - start);
        break;
    }
    case SDL_MOUSEMOTION:
        if (game_.appState == AppState::Title && loop_.editorRunning() == 0)
            title_.mouseMove(static_cast<float>(e.motion.x), static_cast<float>(e.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (game_.appState != AppState::Title || loop_.editorRunning() != 0)
            break;
        if (e.button.button == SDL_BUTTON_LEFT)
            title_.mouseLeft(static_cast<float>(e.button.x), static_cast<float>(e.button.y));
        else if (e.button.button == SDL_BUTTON_RIGHT)
            title_.mouseRight(static_cast<float>(e.button.x), static_cast<float>(e.button.y));
        break;
    case SDL_MOUSEWHEEL:
        if (inputDevices_)
            inputDevices_->addWheel(e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y
                                                                                : e.wheel.y);
        break;
    default:
        break;
    }
}

bool App::editorWindowOpen() {
    return isProgramRunning(kEditors[loop_.editorRunning() - 1].name);
}

// Input exists only when the start-up steps ran (not after a cancelled loading).
void App::controlView() {
    if (!input_)
        return;
    input_->poll();
    if (game_.appState != AppState::Playing)
        return;
    world_.control.controlView(input_->state());
    if (game_.appState == AppState::Quit && game_.practiceMode)
        leavePractice();
    else if (game_.appState == AppState::Quit && net_.active())
        leaveNetworkGame();
}

// The host's match tick, what the client received and its state report.
void App::pollNetwork() {
    net_.pass();
}

// The host's slot tick comes first once the session hosts.
void App::tick() {
    net_.step();
    world_.tick.run();
    stateLog_.sample(game_, clock_.now());
}

void App::titleTick() {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_.sdlWindow(), &w, &h);
    title_.tick(w, h);
}

void App::drawFrame() {
    // The ears follow the local player (or the free camera) once per drawn frame.
    sound_.updateListener(game_.localSlot);
    Frame& frame = drawing_->frame;
    switch (game_.appState) {
    case AppState::Playing:
        frame.drawGameFrame();
        break;
    case AppState::Interlude:
        frame.drawInterludeFrame();
        break;
    case AppState::Title:
        frame.helpLine = title_.helpLine();
        frame.drawTitleFrame();
        break;
    case AppState::Quit:
        break;
    }
}

// The title animates once per drawn frame.
void App::drawTitlePictures() {
    Renderer& r = drawing_->renderer;
    std::vector<TitleQuad> quads = title_.frame();
    drawTitleQuads(r.device(), quads, [&r](int slot) { return r.texture(slot); });
}

// Behind the loading dialog: the title, presented by the dialog with its window over it.
void App::drawLoadingBackdrop() {
    if (drawing_->renderer.beginFrame(kBlack))
        drawTitlePictures();
}

// The client's latency refresh arrives with the session.
void App::sampleSecond() {}

bool App::drawsFrames() {
    return true;
}

void App::titleKey(int key) {
    title_.key(virtualKey(key));
}

int App::presetItemCount(int category) {
    return presets_.itemCount(category);
}

int App::presetVariantCount(int category, int item) {
    return presets_.variantCount(category, item);
}

std::string App::presetText(int category, int item, int variant) {
    return presets_.phraseText(category, item, variant);
}

bool App::chatHidden() {
    return data_.options().game.hideChat != 0;
}

void App::resetEnterLatch() {}

int App::lastWeapon() {
    return data_.lastListIndex(1);
}

int App::lastShield() {
    return data_.lastListIndex(2);
}

void App::takeScreenshot() {
    std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    drawing_->screenShot.request(local);
}

void App::showLine(std::string_view cp932, uint32_t colour) {
    log_.addLogLine(colour, cp932);
}

bool App::chatTyping() const {
    return !chat_.isBlocked();
}

bool App::chatLineClosed() const {
    return chat_.lineClosed != 0;
}

void App::closeChatLine() {
    chat_.closeLine();
}

// In practice the router hands a message for the host to the local client side at once;
// elsewhere it goes to the session.
void App::sendToHost(const Message& message) {
    world_.router.route(Direction::ToHost, message, 0);
}

void App::playInterfaceSound(uint8_t no) {
    sound_.restartInterfaceSound(no);
}

void App::playEffectAt(uint8_t slot, uint8_t no) {
    sound_.restartEffect(no, slot);
}

void App::playPresetVoice(uint8_t category, uint8_t item, uint8_t variant) {
    sound_.playPresetVoice(category, item, variant);
}

void App::showHit(uint8_t slot, const HitShown& hit) {
    if (drawing_)
        drawing_->effects.showHit(slot, hit);
}

// Faces and wears are looked up by name each time a character is drawn.
void App::lookChanged(uint8_t) {}

} // namespace kv

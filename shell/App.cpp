#include "shell/App.h"

#include "platform/SdlMessageBox.h"
#include "platform/Text.h"
#include "platform/Trace.h"

#include <SDL.h>

namespace kv {
namespace {

constexpr const char* kGameName = "Kestrava";
constexpr Colour kClearColour = 0xFF000000;

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

App::App()
    : boxes_(makeMessageBoxes()), anim_(game_), random_(clock_.now()),
      title_(random_,
             TitleLinks{.runMenuChoice = [this](int main, int sub) { runMenuChoice(main, sub); }}),
      chat_(game_, textInput_,
            // Typed and preset lines reach the message log through the session once it lands.
            [](uint8_t, const std::string&) {}),
      keys_(game_, chat_, random_, *this),
      gameTick_(game_, clock_,
                TickLinks{.titleTick = [this] { titleTick(); },
                          .closeIme = [this] { chat_.setIme(false); },
                          .advanceAnimation = [this](int slot) { anim_.advance(slot, 0.9f); }}),
      loop_(clock_, game_, *this) {}

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
        boxes_->show(sjis("エラー"),
                     sjis("解像度か色数が対応していません。\nオプションで変更してくださ"
                          "い。\n終了します。"));
        return false;
    }

    Window::Options wo;
    wo.title = kGameName;
    wo.width = o.displayWidth;
    wo.height = o.displayHeight;
    if (!window_.open(wo)) {
        trace("winmain", __LINE__, sjis("ウィンドウを作成できません。"), window_.error());
        return false;
    }
    if (auto* sdlBoxes = dynamic_cast<SdlMessageBoxes*>(boxes_.get()))
        sdlBoxes->setParent(window_.sdlWindow());
    // SDL starts with text input on; the chat line switches it on when it opens.
    SDL_StopTextInput();
    editorClosedEvent_ = SDL_RegisterEvents(1);

    std::string error;
    device_ = createGlDevice(window_, &error);
    if (!device_) {
        traceAndShow(*boxes_, "winmain", __LINE__, sjis("描画デバイスを作成できません。"), error);
        return false;
    }

    resetGame(game_);
    inputDevices_ = std::make_unique<SdlInputDevices>();
    input_ = std::make_unique<Input>(*inputDevices_);
    return true;
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
}

void App::shutDown() {
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_ShowCursor(SDL_ENABLE);
    input_.reset();
    inputDevices_.reset();
    device_.reset();
    window_.restoreDisplayMode();
    window_.close();
}

void App::runMenuChoice(int entry, int sub) {
    // Entries 0 (network game) and 1 (practice) arrive with their settings dialogs.
    if (entry == 2 && (sub == 0 || sub == 1))
        launchEditor(sub);
    else if (entry == 3)
        game_.appState = AppState::Quit;
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
    if (loop_.editorRunning() == 1)
        readOptionFiles();
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
        // Until the title menu and the player control take Esc over, it ends the program.
        if (e.key.keysym.sym == SDLK_ESCAPE)
            game_.appState = AppState::Quit;
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

void App::controlView() {
    input_->poll();
}

// The host's match tick and the client's state report arrive with the session.
void App::pollNetwork() {}

// The host's slot tick comes first once the session hosts.
void App::tick() {
    gameTick_.run();
}

void App::titleTick() {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_.sdlWindow(), &w, &h);
    title_.tick(w, h);
}

void App::drawFrame() {
    if (!device_->beginFrame(kClearColour))
        return;
    // The title animates once per drawn frame; its pictures reach the screen with the renderer.
    if (game_.appState == AppState::Title)
        title_.frame();
    device_->present();
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

void App::equipmentChanged(uint8_t) {}

void App::takeScreenshot() {}

} // namespace kv

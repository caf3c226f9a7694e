#pragma once
#include "audio/SimSoundOut.h"
#include "audio/SoundSystem.h"
#include "data/DataLoader.h"
#include "data/FaceWearList.h"
#include "models/Models.h"
#include "net/Session.h"
#include "platform/Clock.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Random.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Window.h"
#include "platform/gui/Gui.h"
#include "platform/input/Input.h"
#include "platform/input/SdlInput.h"
#include "render/Camera.h"
#include "render/Effects.h"
#include "render/Frame.h"
#include "render/Hud.h"
#include "render/MessageLog.h"
#include "render/Renderer.h"
#include "render/ScreenShot.h"
#include "render/TextRaster.h"
#include "shell/ChatEntry.h"
#include "shell/GameState.h"
#include "shell/LoadingDialog.h"
#include "shell/MainLoop.h"
#include "shell/NetGame.h"
#include "shell/StateLog.h"
#include "shell/WindowKeys.h"
#include "ui/PresetMenu.h"
#include "ui/PresetTable.h"
#include "ui/ServerSettings.h"
#include "ui/TitleScreen.h"
#include "world/World.h"

#include <cstdint>
#include <memory>

union SDL_Event;

namespace kv {

// SDL text input stands in for the input method of the chat line.
class SdlTextInput final : public TextInputControl {
public:
    void setOpen(bool open) override;
    void cancelComposition() override;
};

// Everything that draws: it exists once the window has its drawing device.
struct Drawing {
    Drawing(std::unique_ptr<Device> device, MessageBoxes& boxes, Game& game, MessageLog& log,
            Clock& clock, TextRaster& raster, DataLoader& data, Random& random);

    std::unique_ptr<Device> device;
    Renderer renderer;
    Hud hud;
    Effects effects;
    Camera camera;
    ScreenShot screenShot;
    Frame frame;
    Models models;
};

// The application context: one instance of each subsystem, created in the designed order
// (as far as one needs another) by the program entry and destroyed in reverse when it returns.
class App final : LoopSteps, KeyTargets, ControlLink, ClientPort {
public:
    App();
    ~App() override;

    // Start-up, the main loop and shutdown; the program's exit code.
    int run();

    // The title menu's choices: entry 0 network game (sub 0 host, 1 join), 1 single play
    // (sub 0 practice, 1 settings), 2 editor programs (sub 0 オプション, 1 Tessaro), 3 quit.
    void runMenuChoice(int entry, int sub);

private:
    bool startUp();
    bool openDrawing();
    void plugLoads();
    void shutDown();
    bool refusedByRunningPrograms();
    void readOptionFiles();
    void startPractice();
    void enterPlay();
    void placePracticePlayer();
    void drawPresetMenu();
    void leavePractice();
    void startNetworkGame(bool hosting);
    void leaveNetworkGame();
    void mapLoaded();
    bool loadStatic(const std::string& folder, const std::string& name);
    std::vector<LoadFile> modelFiles(ModelGroup group);
    void drawCharacter(int slot);
    void launchEditor(int sub);
    void editorClosed();
    void handleEvent(const SDL_Event& e);
    void titleTick();
    void drawTitlePictures();
    void drawLoadingBackdrop();

    // LoopSteps
    bool handleEvents() override;
    bool editorWindowOpen() override;
    void controlView() override;
    void pollNetwork() override;
    void tick() override;
    void drawFrame() override;
    void sampleSecond() override;
    bool drawsFrames() override;

    // KeyTargets
    void titleKey(int key) override;
    int presetItemCount(int category) override;
    int presetVariantCount(int category, int item) override;
    std::string presetText(int category, int item, int variant) override;
    bool chatHidden() override;
    void resetEnterLatch() override;
    int lastWeapon() override;
    int lastShield() override;
    void takeScreenshot() override;

    // ControlLink, and the lines of ClientPort
    void showLine(std::string_view cp932, uint32_t colour) override;
    bool chatTyping() const override;
    bool chatLineClosed() const override;
    void closeChatLine() override;

    // ClientPort: what the player side of the messages shows and sounds.
    void sendToHost(const Message& message) override;
    void playInterfaceSound(uint8_t no) override;
    void playEffectAt(uint8_t slot, uint8_t no) override;
    void playPresetVoice(uint8_t category, uint8_t item, uint8_t variant) override;
    void showHit(uint8_t slot, const HitShown& hit) override;
    void lookChanged(uint8_t slot) override;

    SystemClock clock_;
    std::unique_ptr<MessageBoxes> boxes_;
    Random random_;
    DataLoader data_;
    // The game itself; the sound and the rest below only reach into it. effectSounds_ is
    // declared further down: the world keeps a reference to it and plays nothing while built.
    World world_;
    Game& game_;
    Session session_;
    PresetTable presets_;
    SessionInfo sessionInfo_{};
    int rotationCounter_ = 1;
    SoundSystem sound_;
    MessageLog log_;
    FaceWearList faceWear_;
    TitleScreen title_;
    Window window_;
    TextRaster raster_;
    std::unique_ptr<Drawing> drawing_;
    std::unique_ptr<Gui> gui_;
    LoadingDialog loading_;
    // The host and client sessions of a network game, while it lasts.
    NetGame net_;
    SdlTextInput textInput_;
    ChatEntry chat_;
    WindowKeys keys_;
    StateLog stateLog_ = StateLog::fromEnvironment();
    std::unique_ptr<SdlInputDevices> inputDevices_;
    std::unique_ptr<Input> input_;
    SimSoundOut effectSounds_;
    MainLoop loop_;
    std::unique_ptr<ProgramLock> instanceLock_;
    ProgramWatch editorWatch_;
    uint32_t editorClosedEvent_ = 0;
};

} // namespace kv

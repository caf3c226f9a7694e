#pragma once
#include "audio/SimSoundOut.h"
#include "audio/SoundSystem.h"
#include "data/DataLoader.h"
#include "data/FaceWearList.h"
#include "models/AnimController.h"
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
#include "shell/GameTick.h"
#include "shell/LoadingDialog.h"
#include "shell/MainLoop.h"
#include "shell/WindowKeys.h"
#include "sim/CollisionMesh.h"
#include "sim/PlayerControl.h"
#include "ui/PresetTable.h"
#include "ui/ServerSettings.h"
#include "ui/TitleScreen.h"

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

// The animation controller as the player control sees it.
class AnimActions final : public ActionPlayer {
public:
    explicit AnimActions(AnimController& anim) : anim_(anim) {}
    int currentAction(uint8_t slot) const override { return anim_.currentAction[slot]; }
    void setAction(uint8_t slot, const PlayerAction& action, bool force) override {
        anim_.setAction(slot, action, force);
    }

private:
    AnimController& anim_;
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
class App final : LoopSteps, KeyTargets, ControlLink {
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
    void showPracticeText(uint8_t kind, const std::string& line);
    void leavePractice();
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
    void equipmentChanged(uint8_t slot) override;
    void takeScreenshot() override;

    // ControlLink
    void sendSound(uint8_t slot, uint8_t effect) override;
    void sendSuicide(const PlayerState& state, const PlayerAction& action) override;
    void sendFall(uint8_t slot, const PlayerAction& action, int16_t impact) override;
    void showLine(std::string_view cp932, uint32_t colour) override;
    bool chatTyping() const override;
    bool chatLineClosed() const override;
    void closeChatLine() override;

    void simulate();

    SystemClock clock_;
    std::unique_ptr<MessageBoxes> boxes_;
    Game game_;
    CollisionMesh mapCollision_;
    AnimController anim_;
    Random random_;
    DataLoader data_;
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
    SdlTextInput textInput_;
    ChatEntry chat_;
    WindowKeys keys_;
    std::unique_ptr<SdlInputDevices> inputDevices_;
    std::unique_ptr<Input> input_;
    AnimActions animActions_;
    SimSoundOut effectSounds_;
    PlayerControl control_;
    GameTick gameTick_;
    MainLoop loop_;
    std::unique_ptr<ProgramLock> instanceLock_;
    ProgramWatch editorWatch_;
    uint32_t editorClosedEvent_ = 0;
};

} // namespace kv

#include <gtest/gtest.h>

#include <memory>

#include "platform/Text.h"
#include "shell/LoadingSequence.h"
#include "shell/LoadingStages.h"

using namespace kv;

namespace {

// Records every file the stages load, in order.
struct LoadLog {
    std::vector<std::string> loaded;
    std::string failOn; // a file name whose load fails

    LoadFile file(std::string folder, std::string name) {
        return {folder, name, [this, name] {
                    if (name == failOn)
                        return false;
                    loaded.push_back(name);
                    return true;
                }};
    }
    std::vector<LoadFile> files(std::string folder, std::vector<std::string> names) {
        std::vector<LoadFile> out;
        for (auto& n : names)
            out.push_back(file(folder, n));
        return out;
    }
    bool has(const std::string& name) const {
        return std::find(loaded.begin(), loaded.end(), name) != loaded.end();
    }
};

struct Rig {
    Game game;
    FakeClock clock{1000};
    RecordingMessageBoxes boxes;
    MissingFileMessage missing;
    LoadLog log;
    LoadHooks hooks;
    LoadingLinks links;
    bool host = false, serverOnly = false, hair = true;
    int joinRequests = 0, syncRequests = 0, serverClosed = 0, backToTitle = 0;
    std::vector<std::string> texts;
    std::unique_ptr<LoadingSequence> seq;

    Rig() {
        game.syncDone = 1;
        hooks.textures = [this](int group) {
            switch (group) {
            case 0:
                return log.files("File\\Bitmap\\", {"Title\\Logo.bmp", "Title\\TitleBack.bmp"});
            case 6:
                return log.files("File\\Bitmap\\Icon\\", {"NoItem_Icon.bmp"});
            case 7:
                return log.files("File\\Bitmap\\", {"Effect\\Ring1.bmp"});
            case kTextureFaces:
                return log.files("Texture\\Face\\", {"Face01.bmp", "Face02.bmp"});
            case kTextureWears:
                return log.files("Texture\\Wear\\", {"Wear01.bmp"});
            default:
                return std::vector<LoadFile>{};
            }
        };
        hooks.effectSounds = [this] { return log.files("File\\Sound\\", {"Walk1.wav"}); };
        hooks.otherSounds = [this] { return log.files("File\\Sound\\", {"Title.wav"}); };
        hooks.models = [this](ModelGroup g) {
            if (g == ModelGroup::BodyMotion)
                return log.files("File\\XFile\\", {"CharaBody_TwoFist_IronCrow.x"});
            if (g == ModelGroup::Hair)
                return log.files("File\\XFile\\", {"Hair\\TwoFist_IronCrow_Hair_01.x"});
            return std::vector<LoadFile>{};
        };
        hooks.loadHair = [this] { return hair; };
        hooks.voices = [this] { return log.files("File\\Sound\\Voice\\", {"scc_Yes.wav"}); };
        hooks.contentSizes = [] { return ContentSizes{9, 15, 3, 2, 1}; };
        hooks.loadStatic = [this](const std::string&, const std::string& name) {
            log.loaded.push_back(name);
            return true;
        };
        hooks.mapFile = [] { return std::string("Map\\Arena.x"); };
        hooks.serverOnly = [this] { return serverOnly; };
        links.isHost = [this] { return host; };
        links.serverOnly = [this] { return serverOnly; };
        links.closeServer = [this] { ++serverClosed; };
        links.sendJoinRequest = [this] { ++joinRequests; };
        links.sendSyncRequest = [this] { ++syncRequests; };
        links.backToTitle = [this] { ++backToTitle; };
    }

    LoadingSequence& make() {
        seq = std::make_unique<LoadingSequence>(game, clock, boxes, missing,
                                                buildLoadStages(game, hooks, missing), links);
        return *seq;
    }

    // Ticks the dialog as its timer would until it closes (or maxTicks pass).
    LoadingSequence::Result runStage(int stage, int maxTicks = 1000) {
        game.loadStage = static_cast<uint8_t>(stage);
        seq->open();
        return tickUntilClosed(maxTicks);
    }
    LoadingSequence::Result tickUntilClosed(int maxTicks = 1000) {
        for (int i = 0; i < maxTicks && seq->result() == LoadingSequence::Result::Running; ++i) {
            clock.advance(seq->timerMs());
            seq->tick();
            if (texts.empty() || texts.back() != seq->text())
                texts.push_back(seq->text());
        }
        return seq->result();
    }
    bool sawText(const std::string& utf8) const {
        return std::find(texts.begin(), texts.end(), sjis(utf8)) != texts.end();
    }
};

} // namespace

TEST(LoadingSequence, ProgramStartLoadsEveryFileInOrderAndMarksTheStageDone) {
    Rig r;
    r.make();
    EXPECT_EQ(r.runStage(0), LoadingSequence::Result::Done);
    EXPECT_EQ(r.game.loadDone[0], 1);
    EXPECT_FALSE(r.seq->started());
    EXPECT_EQ(r.log.loaded, (std::vector<std::string>{"Title\\Logo.bmp", "Title\\TitleBack.bmp",
                                                      "NoItem_Icon.bmp", "Effect\\Ring1.bmp",
                                                      "Walk1.wav", "Title.wav"}));
    EXPECT_EQ(r.seq->text(), sjis("Loading... ゲーム起動中"));
    EXPECT_TRUE(r.boxes.shown.empty());
}

TEST(LoadingSequence, ProgramStartTextsNameTheNextFileAndTheInitialisations) {
    Rig r;
    r.make();
    r.runStage(0);
    EXPECT_TRUE(r.sawText("Loading... Texture \nFile\\Bitmap\\Title\\Logo.bmp"));
    EXPECT_TRUE(r.sawText("Loading... Texture \nFile\\Bitmap\\Title\\TitleBack.bmp"));
    // After the last item icon the text announces the screen set-up, not the next effect.
    EXPECT_TRUE(r.sawText("Loading... 画面表示の初期化"));
    EXPECT_FALSE(r.sawText("Loading... Texture \nFile\\Bitmap\\Effect\\Ring1.bmp"));
    // After the effects: the first face file.
    EXPECT_TRUE(r.sawText("Loading... Texture \nTexture\\Face\\Face01.bmp"));
    EXPECT_TRUE(r.sawText("Loading... Audio サウンドロード\nFile\\Sound\\Walk1.wav"));
    EXPECT_TRUE(r.sawText("Loading... Audio \n"));
    EXPECT_TRUE(r.sawText("Loading... Audio ミュージック初期化"));
    EXPECT_TRUE(r.sawText("Loading... アニメーションロード"));
    EXPECT_TRUE(r.sawText("Loading... "));
}

TEST(LoadingSequence, ProgressCountsTicksAgainstTheStageTotalAndShowsWholeSeconds) {
    Rig r;
    r.make();
    r.game.loadStage = 0;
    r.seq->open();
    EXPECT_EQ(r.seq->progress(), 0);
    for (int i = 0; i < 15; ++i) {
        r.clock.advance(250);
        r.seq->tick();
    }
    EXPECT_EQ(r.seq->subProgress(), 15);
    EXPECT_EQ(r.seq->progress(), 15 * 1000 / 195);
    EXPECT_EQ(r.seq->elapsedText(), sjis("3秒"));
}

TEST(LoadingSequence, AMissingFileIsNamedAndEndsTheProgram) {
    Rig r;
    r.log.failOn = "Title\\TitleBack.bmp";
    r.make();
    EXPECT_EQ(r.runStage(0), LoadingSequence::Result::Done);
    EXPECT_EQ(r.game.appState, AppState::Quit);
    ASSERT_EQ(r.boxes.shown.size(), 1u);
    EXPECT_EQ(r.boxes.shown[0].caption, sjis("ファイルロードエラー"));
    EXPECT_EQ(r.boxes.shown[0].text,
              sjis("以下のファイルが見つかりません。\nFile\\Bitmap\\Title\\TitleBack.bmp\n"
                   "ロードに失敗しました。"));
    EXPECT_EQ(r.game.loadDone[0], 0);
}

TEST(LoadingSequence, AnUnreadableEquipmentFileIsReportedAsMissing) {
    Rig r;
    r.hooks.readEquipment = [] { return false; };
    r.make();
    r.runStage(0);
    ASSERT_EQ(r.boxes.shown.size(), 1u);
    EXPECT_EQ(r.boxes.shown[0].text, sjis("以下のファイルが見つかりません。\nFile\\Data\\"
                                          "EQI_Equipped.dat\nロードに失敗しました。"));
    EXPECT_TRUE(r.log.loaded.empty());
}

TEST(LoadingSequence, CancelAnsweredNoResumesWhereLoadingStopped) {
    Rig r;
    r.make();
    r.game.loadStage = 0;
    r.seq->open();
    for (int i = 0; i < 3; ++i)
        r.seq->tick();
    int step = r.seq->stepIndex();
    r.boxes.answers.push_back(MsgResult::No);
    r.seq->cancel();
    ASSERT_EQ(r.boxes.shown.size(), 1u);
    EXPECT_EQ(r.boxes.shown[0].caption, sjis("警告"));
    EXPECT_EQ(r.boxes.shown[0].text, sjis("ロードを中止して戻りますか？"));
    EXPECT_EQ(r.boxes.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(r.seq->result(), LoadingSequence::Result::Running);
    EXPECT_TRUE(r.seq->timerRunning());
    EXPECT_EQ(r.seq->stepIndex(), step);
    EXPECT_EQ(r.tickUntilClosed(), LoadingSequence::Result::Done);
    EXPECT_EQ(r.log.loaded.size(), 6u); // nothing loaded twice, nothing skipped
}

TEST(LoadingSequence, CancelAnsweredYesReturnsToTheTitleAndTheNextRunContinues) {
    Rig r;
    r.host = true;
    r.make();
    r.game.loadStage = 1;
    r.seq->open();
    for (int i = 0; i < 2; ++i)
        r.seq->tick();
    EXPECT_EQ(r.log.loaded, (std::vector<std::string>{"Face01.bmp", "Face02.bmp"}));
    r.boxes.answers.push_back(MsgResult::Yes);
    r.seq->cancel();
    EXPECT_EQ(r.seq->result(), LoadingSequence::Result::Cancelled);
    EXPECT_EQ(r.serverClosed, 1);
    EXPECT_EQ(r.backToTitle, 1);
    EXPECT_TRUE(r.seq->started());

    int progress = r.seq->subProgress();
    r.seq->open();
    EXPECT_EQ(r.seq->subProgress(), progress);
    EXPECT_EQ(r.tickUntilClosed(), LoadingSequence::Result::Done);
    EXPECT_EQ(r.log.loaded[2], "Wear01.bmp");
}

TEST(LoadingSequence, AClientWithoutASlotRepeatsTheJoinRequestAndGivesUpAfterTenSeconds) {
    Rig r;
    r.make();
    r.game.syncDone = 0;
    r.game.loadStage = 2;
    r.seq->open();
    uint32_t start = r.clock.now();
    while (r.seq->result() == LoadingSequence::Result::Running && r.clock.now() - start < 20000) {
        r.clock.advance(1);
        r.seq->tick();
    }
    EXPECT_EQ(r.seq->result(), LoadingSequence::Result::Cancelled);
    EXPECT_EQ(r.clock.now() - start, 10000u);
    EXPECT_EQ(r.joinRequests, 3); // at 3, 6 and 9 seconds
    EXPECT_EQ(r.syncRequests, 0);
    EXPECT_EQ(r.seq->subProgress(), 0); // the bar stands still while waiting
    EXPECT_EQ(r.seq->text(), sjis("Loading... Sarverからの応答待機中…"));
    ASSERT_EQ(r.boxes.shown.size(), 1u);
    EXPECT_EQ(r.boxes.shown[0].text, sjis("サーバーから応答がありません。"));
    EXPECT_EQ(r.boxes.shown[0].caption, sjis("警告"));
    EXPECT_TRUE(r.log.loaded.empty());
}

TEST(LoadingSequence, AClientWithASlotSendsSyncRequestsAndLoadsTheMapOnceSynced) {
    Rig r;
    r.make();
    r.game.syncDone = 0;
    r.game.localSlot = 4;
    r.game.loadStage = 2;
    r.seq->open();
    for (int i = 0; i < 3500; ++i) {
        r.clock.advance(1);
        r.seq->tick();
    }
    EXPECT_EQ(r.syncRequests, 1);
    r.game.syncDone = 1;
    EXPECT_EQ(r.tickUntilClosed(), LoadingSequence::Result::Done);
    EXPECT_EQ(r.log.loaded,
              (std::vector<std::string>{"Map\\Sky.x", "Map\\Field_Tree1.x", "Map\\Field_Tree2.x",
                                        "Map\\Village_Tree.x", "Map\\Arena.x"}));
    EXPECT_TRUE(r.sawText("Loading... XFile マップオブジェクト\nFile\\XFile\\Map\\Arena.x"));
    EXPECT_EQ(r.game.loadDone[2], 1);
}

TEST(LoadingSequence, ADedicatedHostSkipsVoicesAndLoadsOnlyTheSky) {
    Rig r;
    r.serverOnly = true;
    r.make();
    EXPECT_EQ(r.runStage(1), LoadingSequence::Result::Done);
    EXPECT_FALSE(r.log.has("scc_Yes.wav"));
    EXPECT_TRUE(r.log.has("CharaBody_TwoFist_IronCrow.x"));
    r.log.loaded.clear();
    r.game.syncDone = 0; // a dedicated host does not wait for itself
    EXPECT_EQ(r.runStage(2), LoadingSequence::Result::Done);
    EXPECT_EQ(r.log.loaded, (std::vector<std::string>{"Map\\Sky.x", "Map\\Arena.x"}));
}

TEST(LoadingSequence, GameStartLoadsHairOnlyWithTheOptionAndCountsItInTheTotal) {
    Rig r;
    r.game.presetVoiceCount = 79;
    r.make();
    EXPECT_EQ(r.runStage(1), LoadingSequence::Result::Done);
    EXPECT_TRUE(r.log.has("Hair\\TwoFist_IronCrow_Hair_01.x"));
    EXPECT_TRUE(r.log.has("scc_Yes.wav"));
    // One count per call: 3 textures, body and hair, three empty steps, one voice.
    EXPECT_EQ(r.seq->subProgress(), 9);
    // 34 + 5*6 + 2*9 + 15 + 2*3 + 2 + 1 + 79
    EXPECT_EQ(r.seq->progress(), 9 * 1000 / 185);

    Rig off;
    off.hair = false;
    off.game.presetVoiceCount = 79;
    off.make();
    EXPECT_EQ(off.runStage(1), LoadingSequence::Result::Done);
    EXPECT_FALSE(off.log.has("Hair\\TwoFist_IronCrow_Hair_01.x"));
    EXPECT_EQ(off.seq->subProgress(), 8);
    EXPECT_EQ(off.seq->progress(), 8 * 1000 / 155);
}

TEST(LoadingSequence, EveryGameLoadsItsMapWhileTheProgramStartRunsOnce) {
    Rig r;
    std::string map = "Map\\Arena.x";
    r.hooks.mapFile = [&map] { return map; };
    r.make();
    r.runStage(0);
    const size_t started = r.log.loaded.size();
    EXPECT_EQ(r.runStage(0), LoadingSequence::Result::Done);
    EXPECT_EQ(r.log.loaded.size(), started) << "program start is skipped once done";

    r.runStage(1);
    EXPECT_EQ(r.runStage(2), LoadingSequence::Result::Done);
    EXPECT_EQ(r.log.loaded.back(), "Map\\Arena.x");
    // Back at the title, another game on another map: its map, not the last one's.
    map = "Map\\Fort.x";
    const size_t before = r.log.loaded.size();
    r.runStage(1);
    EXPECT_GT(r.log.loaded.size(), before) << "the game start stage loads every time";
    EXPECT_EQ(r.runStage(2), LoadingSequence::Result::Done);
    EXPECT_EQ(r.log.loaded.back(), "Map\\Fort.x");
    EXPECT_EQ(r.game.loadDone[2], 1);
}

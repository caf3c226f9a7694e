#include "shell/WindowKeys.h"
#include "platform/Text.h"
#include "tests/support/SentMessages.h"

#include <SDL_keycode.h>
#include <gtest/gtest.h>
#include <set>
#include <vector>

using namespace kv;

namespace {

struct NoIme final : TextInputControl {
    void setOpen(bool on) override { open = on; }
    void cancelComposition() override {}
    bool open = false;
};

// Item counts of the seven preset categories; two variants each except where noted.
constexpr int kItems[7] = {4, 5, 7, 7, 7, 2, 5};

struct FakeTargets final : KeyTargets {
    void titleKey(int key) override { titleKeys.push_back(key); }
    int presetItemCount(int category) override { return kItems[category]; }
    int presetVariantCount(int category, int item) override {
        return category == 2 && item == 6 ? 3 : 2;
    }
    std::string presetText(int category, int item, int variant) override {
        return "p" + std::to_string(category) + std::to_string(item) + std::to_string(variant);
    }
    bool chatHidden() override { return hideChat; }
    void resetEnterLatch() override { ++enterLatchResets; }
    int lastWeapon() override { return 14; }
    int lastShield() override { return 9; }
    void takeScreenshot() override { ++screenshots; }

    std::vector<int> titleKeys;
    bool hideChat = false;
    int enterLatchResets = 0;
    int screenshots = 0;
};

struct KeysTest : ::testing::Test {
    KeysTest() : chat(game, ime, router), keys(game, chat, random, targets, router) {
        router.setTransport(&sent);
        game.appState = AppState::Playing;
        game.localSlot = 0;
    }
    void press(std::initializer_list<int> ks) {
        for (int k : ks)
            keys.keyDown(k);
    }

    struct Said {
        uint8_t kind;
        std::string line;
    };
    std::vector<Said> said() const {
        std::vector<Said> out;
        for (const TextBody& b : sent.toHostOf<TextBody>(MSG_TEXT))
            out.push_back({b.kind, std::string(bodyText(b))});
        return out;
    }
    // The slots whose equipment was sent to the host.
    std::vector<uint8_t> changed() const {
        std::vector<uint8_t> out;
        for (const EquipBody& b : sent.toHostOf<EquipBody>(MSG_EQUIP))
            out.push_back(b.slot);
        return out;
    }
    Game game;
    NoIme ime;
    Random random{7};
    FakeTargets targets;
    test::SentMessages sent;
    Router router{game};
    ChatEntry chat;
    WindowKeys keys;
};

} // namespace

TEST_F(KeysTest, AtTheTitleEveryKeyGoesToTheTitleScreen) {
    game.appState = AppState::Title;
    game.presetEntry = 1;
    press({'3', SDLK_RETURN, SDLK_F9});
    EXPECT_EQ(targets.titleKeys, (std::vector<int>{'3', SDLK_RETURN, SDLK_F9}));
    EXPECT_EQ(game.presetDigits, 0);
    EXPECT_EQ(chat.open, 0);
}

TEST_F(KeysTest, TwoPresetDigitsSayAPhraseOfThatItem) {
    game.presetEntry = 1;
    press({'3', '7'});
    ASSERT_EQ(said().size(), 1u);
    EXPECT_EQ(said()[0].kind, TEXT_PRESET);
    std::set<std::string> allowed;
    for (int v = 0; v < 3; ++v)
        allowed.insert(sjis("：") + "p26" + std::to_string(v));
    EXPECT_TRUE(allowed.count(said()[0].line)) << said()[0].line;
    EXPECT_EQ(game.presetCategory, 2);
    EXPECT_EQ(game.presetItem, 6);
    EXPECT_LT(game.presetVariant, 3);
    const TextBody phrase = sent.toHostOf<TextBody>(MSG_TEXT)[0];
    EXPECT_EQ(phrase.category, 2) << "the phrase travels with the line, for its voice";
    EXPECT_EQ(phrase.item, 6);
    EXPECT_EQ(phrase.variant, game.presetVariant);
    EXPECT_EQ(said()[0].line, sjis("：") + "p26" + std::to_string(game.presetVariant));
    EXPECT_EQ(game.presetEntry, 0);
    EXPECT_EQ(game.presetDigits, 0);
}

TEST_F(KeysTest, PresetDigitsOutOfRangeAreIgnored) {
    game.presetEntry = 1;
    press({'8', '0', ':'});
    EXPECT_EQ(game.presetDigits, 0) << "8, 0 and ':' are no category";
    press({'6', '3'});
    EXPECT_EQ(game.presetDigits, 1) << "the sixth category has two items";
    press({'0'});
    EXPECT_EQ(game.presetDigits, 1);
    EXPECT_TRUE(said().empty());
    press({'2'});
    EXPECT_EQ(said().size(), 1u);
}

TEST_F(KeysTest, BackspaceStepsPresetDigitsBackBeforeTouchingTheLine) {
    chat.open = 1;
    chat.lineClosed = 0;
    chat.appendChar('a');
    game.presetEntry = 1;
    press({'4', SDLK_BACKSPACE, SDLK_BACKSPACE});
    EXPECT_EQ(game.presetDigits, 0);
    EXPECT_EQ(chat.line, "a");
    game.presetEntry = 0;
    press({SDLK_BACKSPACE});
    EXPECT_EQ(chat.line, "");
}

TEST_F(KeysTest, PresetDigitsOnlyCountWhilePlaying) {
    game.appState = AppState::Interlude;
    game.presetEntry = 1;
    press({'1', '1'});
    EXPECT_EQ(game.presetDigits, 0);
    EXPECT_TRUE(said().empty());
}

TEST_F(KeysTest, EnterOpensTheLineThenSaysIt) {
    game.presetEntry = 1;
    press({SDLK_RETURN});
    EXPECT_EQ(chat.open, 1);
    EXPECT_EQ(chat.lineClosed, 0);
    EXPECT_TRUE(ime.open);
    EXPECT_EQ(targets.enterLatchResets, 1);
    EXPECT_EQ(game.presetEntry, 0);

    chat.appendChar('g');
    chat.appendChar('g');
    press({SDLK_RETURN});
    ASSERT_EQ(said().size(), 1u);
    EXPECT_EQ(said()[0].kind, TEXT_CHAT);
    EXPECT_EQ(said()[0].line, sjis("：gg"));
    EXPECT_EQ(chat.open, 0);
    EXPECT_EQ(chat.lineClosed, 1);
    EXPECT_FALSE(ime.open);
}

TEST_F(KeysTest, EnterThatEndsACompositionKeepsTheLineOpenForTyping) {
    press({SDLK_RETURN});
    chat.compositionChanged(sjis("か"), 0, 0);
    press({SDLK_RETURN});
    EXPECT_EQ(chat.open, 1);
    EXPECT_TRUE(ime.open);
    EXPECT_TRUE(said().empty());
}

TEST_F(KeysTest, WithChatHiddenEnterNeverOpensTheLine) {
    targets.hideChat = true;
    press({SDLK_RETURN, SDLK_RETURN});
    EXPECT_EQ(chat.open, 0);
    EXPECT_FALSE(ime.open);
}

TEST_F(KeysTest, EquipmentKeysStepWithinTheListsDuringPreparation) {
    game.matchPhase = 1;
    setWeapon(game.equips[0], 0);
    press({SDLK_F5});
    EXPECT_TRUE(changed().empty()) << "weapon 0 cannot go lower";
    press({SDLK_F6});
    EXPECT_EQ(game.equips[0].weapon, 1);
    EXPECT_EQ(game.equips[0].weaponClass, weaponClass(1));
    EXPECT_EQ(changed(), std::vector<uint8_t>{0});

    setWeapon(game.equips[0], 14);
    press({SDLK_F6});
    EXPECT_EQ(changed().size(), 1u) << "the last weapon cannot go higher";
    EXPECT_EQ(game.equips[0].weapon, 14);

    game.equips[0].shield = 9;
    press({SDLK_F8, SDLK_F7});
    EXPECT_EQ(game.equips[0].shield, 8);
    EXPECT_EQ(changed().size(), 2u);
}

TEST_F(KeysTest, EquipmentKeysDoNothingOutsidePreparation) {
    game.matchPhase = 2;
    press({SDLK_F6, SDLK_F8});
    EXPECT_TRUE(changed().empty());
    EXPECT_EQ(game.equips[0].weapon, 0);
    game.matchPhase = 1;
    game.localSlot = kNoSlot;
    press({SDLK_F6});
    EXPECT_TRUE(changed().empty()) << "no local slot, nothing to change";
}

TEST_F(KeysTest, PracticeEquipmentChangeResetsTheAction) {
    game.matchPhase = 1;
    game.practiceMode = 1;
    game.actions[0] = {10, 2, 3, 1};
    press({SDLK_F6});
    EXPECT_EQ(game.actions[0].action, 0);
    EXPECT_EQ(game.actions[0].actionSub, 0);
    EXPECT_EQ(game.actions[0].actionAux, 0);
    EXPECT_EQ(game.actions[0].walkMode, 1);
}

TEST_F(KeysTest, F9TogglesNearAndFarCamera) {
    press({SDLK_F9});
    EXPECT_EQ(game.cameraMode, 1);
    EXPECT_EQ(game.cameraDistance, 30);
    press({SDLK_F9});
    EXPECT_EQ(game.cameraMode, 0);
    EXPECT_EQ(game.cameraDistance, 150);
    game.cameraMode = 2;
    press({SDLK_F9});
    EXPECT_EQ(game.cameraMode, 1);
    EXPECT_EQ(game.cameraDistance, 30);
}

TEST_F(KeysTest, F12TakesAScreenshot) {
    press({SDLK_F12});
    EXPECT_EQ(targets.screenshots, 1);
}

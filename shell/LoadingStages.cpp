#include "shell/LoadingStages.h"

#include <memory>

#include "platform/Text.h"

namespace kv {

namespace {

using Work = std::function<bool()>;

bool run(const Work& w) {
    return !w || w();
}

// "label" followed by the first file of a list, or the label alone when the list is empty.
std::string labelWithFirst(const std::string& label, const std::vector<LoadFile>& files) {
    return files.empty() ? label : label + files[0].folder + files[0].name;
}

LoadStep work(Work w, std::string text) {
    return {std::move(w), {}, [t = std::move(text)] { return t; }};
}

LoadStep nothing() {
    return {};
}

const char* const kXFile = "File\\XFile\\";

struct ModelLabel {
    ModelGroup group;
    const char* label;
};
constexpr ModelLabel kModelLabels[] = {
    {ModelGroup::BodyMotion, "XFile キャラボディモーション\n"},
    {ModelGroup::HeadMotion, "XFile キャラヘッドモーション\n"},
    {ModelGroup::WeaponMotion, "XFile キャラ武器モーション\n"},
    {ModelGroup::ShieldMotion, "XFile キャラシールドモーション\n"},
    {ModelGroup::WeaponObject, "XFile 武器オブジェクト\n"},
    {ModelGroup::BrokenWeaponObject, "XFile 壊れた武器オブジェクト\n"},
    {ModelGroup::ItemObject, "XFile アイテムオブジェクト\n"},
    {ModelGroup::ShieldObject, "XFile 盾オブジェクト\n"},
    {ModelGroup::BrokenShieldObject, "XFile 壊れた盾オブジェクト\n"},
    {ModelGroup::Hair, "XFile 髪の毛オブジェクト\n"},
};

constexpr const char* kScenery[] = {"Map\\Sky.x", "Map\\Field_Tree1.x", "Map\\Field_Tree2.x",
                                    "Map\\Village_Tree.x"};

LoadStage programStage(Game& game, std::shared_ptr<LoadHooks> h, MissingFileMessage& missing) {
    auto list = [h](std::function<std::vector<LoadFile>()> LoadHooks::*member) {
        return (*h).*member ? ((*h).*member)() : std::vector<LoadFile>{};
    };
    auto textures = [h](int group) {
        return h->textures ? h->textures(group) : std::vector<LoadFile>{};
    };
    const std::string texLabel = sjis("Texture \n");
    const std::string soundLabel = sjis("Audio サウンドロード\n");
    const std::string musicLabel = sjis("Audio ミュージックロード\n");

    LoadStage s;
    s.timerMs = 5;
    s.progressTotal = [] { return 195; };
    s.steps = {
        work(
            [h, &missing] {
                if (!run(h->createDevice) || !run(h->readLists))
                    return false;
                if (!run(h->readEquipment)) {
                    missing.report("File\\Data\\", "EQI_Equipped.dat");
                    return false;
                }
                return true;
            },
            texLabel + "File\\Bitmap\\Title\\Logo.bmp"),
        {{},
         [=] {
             std::vector<FileGroup> groups;
             // Title, HUD, misc and interlude pictures, then the icons, then the effects.
             for (int g : {0, 1, 2, 3, 4, 5, 6, 7})
                 groups.push_back({texLabel, textures(g), ""});
             groups[6].textAtEnd = sjis("画面表示の初期化");
             return groups;
         },
         [=] { return labelWithFirst(texLabel, textures(kTextureFaces)); }},
        work(h->setDefaultStates, sjis("様々な初期化")),
        work(h->setProjectionAndFonts, sjis("DATAの初期化")),
        work(h->buildScreenQuads, sjis("スクリーンの初期化")),
        work(h->createSpriteAndTextTargets, sjis("Lightの初期化")),
        work(h->setupSceneLights, sjis("Audio サウンド初期化")),
        {h->createSound,
         {},
         [=] { return labelWithFirst(soundLabel, list(&LoadHooks::effectSounds)); }},
        {{},
         [=] {
             return std::vector<FileGroup>{
                 {soundLabel, list(&LoadHooks::effectSounds), sjis("Audio \n")},
                 {soundLabel, list(&LoadHooks::otherSounds), ""}};
         },
         [] { return sjis("Audio ミュージック初期化"); }},
        {h->createMusic, {}, [=] { return labelWithFirst(musicLabel, list(&LoadHooks::music)); }},
        {{},
         [=] {
             return std::vector<FileGroup>{{musicLabel, list(&LoadHooks::music), ""}};
         },
         [] { return sjis("アニメーションロード"); }},
        work(h->readAnimationTables, ""),
        nothing(),
        nothing(),
        nothing(),
        work(
            [&game] {
                game.loadDone[0] = 1;
                return true;
            },
            sjis("ゲーム起動中")),
    };
    return s;
}

LoadStage gameStartStage(Game& game, std::shared_ptr<LoadHooks> h) {
    auto models = [h](ModelGroup g) { return h->models ? h->models(g) : std::vector<LoadFile>{}; };
    auto textures = [h](int group) {
        return h->textures ? h->textures(group) : std::vector<LoadFile>{};
    };
    auto hair = [h] { return h->loadHair && h->loadHair(); };
    const std::string texLabel = sjis("Texture \n");

    LoadStage s;
    s.timerMs = 1;
    s.progressTotal = [h, hair, &game] {
        ContentSizes c = h->contentSizes ? h->contentSizes() : ContentSizes{};
        return 34 + 5 * (hair() ? 6 : 0) + 2 * c.weaponLast + c.itemLast + 2 * c.shieldLast +
               c.faces + c.wears + game.presetVoiceCount;
    };
    s.steps = {
        {{},
         [=] {
             return std::vector<FileGroup>{{texLabel, textures(kTextureFaces), ""},
                                           {texLabel, textures(kTextureWears), ""}};
         },
         [=] {
             return labelWithFirst(sjis(kModelLabels[0].label), models(ModelGroup::BodyMotion));
         }},
        {{},
         [=] {
             std::vector<FileGroup> groups;
             for (const ModelLabel& m : kModelLabels)
                 if (m.group != ModelGroup::Hair || hair())
                     groups.push_back({sjis(m.label), models(m.group), ""});
             return groups;
         },
         [] { return sjis("ゲーム起動中"); }},
        nothing(),
        nothing(),
        nothing(),
        {{},
         [h] {
             return std::vector<FileGroup>{{sjis("Audio 音声サウンドロード\n"),
                                            h->voices ? h->voices() : std::vector<LoadFile>{}, ""}};
         },
         {}},
    };
    return s;
}

LoadStage mapStage(Game& game, std::shared_ptr<LoadHooks> h) {
    const std::string sceneryLabel = sjis("XFile 背景オブジェクト\n");
    LoadStage s;
    s.timerMs = 1;
    s.progressTotal = [] { return 6; };
    s.waitText = sjis("Sarverからの応答待機中…");
    s.mustWait = [h, &game] {
        return game.practiceMode == 0 && game.syncDone == 0 && !(h->serverOnly && h->serverOnly());
    };
    auto loader = [h](std::string name, std::function<void()> before = {}) {
        return LoadFile{kXFile, name, [h, name, before] {
                            if (before)
                                before();
                            return !h->loadStatic || h->loadStatic(kXFile, name);
                        }};
    };
    s.steps = {
        {{}, {}, [=] { return sceneryLabel + kXFile + kScenery[0]; }},
        {{},
         [=] {
             FileGroup scenery{sceneryLabel, {}, ""};
             // A dedicated host draws nothing: the sky is all it needs.
             bool dedicated = h->serverOnly && h->serverOnly();
             for (const char* name : kScenery) {
                 scenery.files.push_back(loader(name));
                 if (dedicated)
                     break;
             }
             FileGroup map{sjis("XFile マップオブジェクト\n"), {}, ""};
             if (h->mapFile)
                 map.files.push_back(loader(h->mapFile(), h->clearFog));
             return std::vector<FileGroup>{scenery, map};
         },
         [] { return sjis("ゲーム起動中"); }},
        work(
            [&game] {
                game.loadDone[2] = 1;
                return true;
            },
            sjis("ゲーム起動中")),
    };
    return s;
}

} // namespace

std::array<LoadStage, 3> buildLoadStages(Game& game, LoadHooks hooks, MissingFileMessage& missing) {
    auto h = std::make_shared<LoadHooks>(std::move(hooks));
    return {programStage(game, h, missing), gameStartStage(game, h), mapStage(game, h)};
}

} // namespace kv

// The generated content tree, walked through the project's own tables and readers: every file
// they name exists and decodes, and every list reads back with its numbers in range.
#include "ContentChecks.h"

#include "audio/SoundFiles.h"
#include "audio/WaveFile.h"
#include "data/DataLoader.h"
#include "data/EquipmentFile.h"
#include "data/FaceWearList.h"
#include "data/Options.h"
#include "render/TextureTable.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace kv;
using kv::test::drawnShare;
using kv::test::inspectPicture;

namespace {

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// The game reads lists with its limits, Tessaro with the smaller ones: both must take the files.
DataLoader loadAll(LineLimits limits) {
    DataLoader d(limits);
    EXPECT_TRUE(d.loadWeapons()) << d.message();
    EXPECT_TRUE(d.loadShields()) << d.message();
    EXPECT_TRUE(d.loadArmours()) << d.message();
    EXPECT_TRUE(d.loadItems()) << d.message();
    return d;
}

} // namespace

TEST(ContentTree, EveryPictureOfTheTextureTableDecodesAtItsSize) {
    int checked = 0;
    for (const TextureGroup& g : textureGroups()) {
        for (const char* file : g.files) {
            std::string path = std::string(g.folder) + file;
            auto info = inspectPicture(path);
            ASSERT_GT(info.width, 0) << path << " is missing or does not decode";
            if (endsWith(path, ".bmp")) {
                EXPECT_EQ(info.bmpBits, 24) << path;
            }
            if (g.group >= 3 && g.group <= 6) { // icons
                EXPECT_EQ(info.width, 40) << path;
                EXPECT_EQ(info.height, 40) << path;
                EXPECT_TRUE(info.hasKeyCyan) << path << " has no transparent corners";
            }
            ++checked;
        }
    }
    EXPECT_EQ(checked, 14 + 8 + 19 + 10 + 4 + 4 + 16 + 79);
}

TEST(ContentTree, PushStartCoversNoTitleLetteringAndBothRead) {
    // The lettering fills the background quad, title x -320..320 and y 250..-390; the push
    // start picture is drawn over it at x -150..150, y 30..-30.
    const char* letter = "File\\Bitmap\\Title\\TitleLetter.bmp";
    const auto fx = [](double x) { return (x + 320) / 640; };
    const auto fy = [](double y) { return (250 - y) / 640; };
    const double band = drawnShare(letter, fx(-150), fy(30), fx(150), fy(-30));
    ASSERT_GE(band, 0) << letter << " does not decode";
    EXPECT_LT(band, 0.01) << "lettering under the push start picture";
    // The name above the band and the subtitle below it are there.
    EXPECT_GT(drawnShare(letter, fx(-300), fy(130), fx(300), fy(30)), 0.2);
    EXPECT_GT(drawnShare(letter, fx(-300), fy(-30), fx(300), fy(-90)), 0.1);
    // Push start itself is mostly lettering across its band.
    EXPECT_GT(drawnShare("File\\Bitmap\\Title\\PushStart.bmp", 0.1, 0.2, 0.9, 0.6), 0.2);
}

TEST(ContentTree, FaceAndWearFoldersOfferSeveralPicturesBesideTheDefaults) {
    FaceWearList list;
    ASSERT_TRUE(list.build(true, true)) << list.message();
    EXPECT_GE(list.faceCount(), 4);
    EXPECT_GE(list.wearCount(), 4);
    for (int i = 0; i < list.faceCount(); ++i)
        EXPECT_GT(inspectPicture("Texture\\Face\\" + list.faceFile(i)).width, 0)
            << list.faceFile(i);
    for (int i = 0; i < list.wearCount(); ++i)
        EXPECT_GT(inspectPicture("Texture\\Wear\\" + list.wearFile(i)).width, 0)
            << list.wearFile(i);
    EXPECT_GT(inspectPicture("Texture\\Face\\DefaultFace.bmp").width, 0);
    EXPECT_GT(inspectPicture("Texture\\Wear\\DefaultWear.bmp").width, 0);
}

TEST(ContentTree, EverySoundVoiceAndMusicFileOfTheAudioTablesLoads) {
    int wavs = 0;
    for (const std::string& path : audioContentPaths()) {
        if (endsWith(path, ".mid")) {
            int tracks = 0;
            EXPECT_EQ(test::checkMidi(path, tracks), "") << path;
            EXPECT_GE(tracks, 4) << path << ": a tempo track and several parts";
            continue;
        }
        PcmSound pcm;
        ASSERT_TRUE(loadWaveFile(path, pcm)) << path << " is missing or not PCM WAVE";
        EXPECT_EQ(pcm.bitsPerSample, 16) << path;
        double seconds = static_cast<double>(pcm.data.size()) / pcm.frameBytes() / pcm.sampleRate;
        EXPECT_GT(seconds, 0.05) << path;
        EXPECT_LT(seconds, 60) << path;
        ++wavs;
    }
    EXPECT_GE(wavs, 22 + 10 + 1 + 40);
}

TEST(ContentTree, ListsReadBackWithTheGamesAndTheEditorsLimits) {
    for (LineLimits limits : {kGameLines, kEditorLines}) {
        DataLoader d = loadAll(limits);
        EXPECT_EQ(d.weaponCount(), 10);
        EXPECT_EQ(d.shieldCount(), 4);
        EXPECT_EQ(d.armourCount(), 4);
        EXPECT_EQ(d.itemCount(), 16);
    }
}

TEST(ContentTree, IconsOfTheListsAreTheIconsOfTheTextureTableInOrder) {
    DataLoader d = loadAll(kGameLines);
    auto iconOf = [](int group, int i) {
        const TextureGroup* g = textureGroup(group);
        return std::string(g->folder) + g->files[static_cast<size_t>(i)];
    };
    for (int i = 0; i < d.weaponCount(); ++i)
        EXPECT_EQ(d.weapon(i).iconFile, iconOf(3, i));
    for (int i = 0; i < d.shieldCount(); ++i)
        EXPECT_EQ(d.shield(i).iconFile, iconOf(4, i));
    for (int i = 0; i < d.armourCount(); ++i)
        EXPECT_EQ(d.armour(i).iconFile, iconOf(5, i));
    for (int i = 0; i < d.itemCount(); ++i)
        EXPECT_EQ(d.item(i).iconFile, iconOf(6, i));
}

TEST(ContentTree, WeaponNumbersMakeAPlayableDuel) {
    DataLoader d = loadAll(kGameLines);
    for (int i = 0; i < d.weaponCount(); ++i) {
        const WeaponSpec& w = d.weapon(i);
        SCOPED_TRACE(i);
        EXPECT_FALSE(w.name.empty());
        // Two-handed exactly for the great sword, claw, hammer, spear, staff and bow.
        bool twoHandedKind = i == 3 || i == 4 || i >= 6;
        EXPECT_EQ(w.twoHanded, twoHandedKind ? 1 : 0);
        // The editor has a weight word for every weight below 210.
        EXPECT_LT(w.weight, 210);
        // A special technique costs SP but can be afforded from a full bar.
        EXPECT_GT(w.spCost, 0);
        EXPECT_LT(w.spCost, 10000);
        // Clean hits needed for 10000 hp at the mean damage (0.875 of the attack power): a
        // duel is tens of blows, not one and not hundreds.
        double hits = 10000.0 / (0.875 * w.attackPower);
        EXPECT_GE(hits, 8);
        EXPECT_LE(hits, 80);
        EXPECT_TRUE(endsWith(w.modelFile, ".x") && endsWith(w.brokenModelFile, ".x"));
    }
    // Heavy weapons slow their carrier: walking speed falls with weight.
    auto speed = [&](int i) { return 3 + (200 - d.weapon(i).weight) * 0.01; };
    EXPECT_LT(speed(6), speed(2)); // big hammer slower than the sword
    EXPECT_LT(speed(3), speed(1)); // great sword slower than the knife
}

TEST(ContentTree, ItemsAreOrderedByPocketSize) {
    DataLoader d = loadAll(kEditorLines);
    EXPECT_EQ(d.item(0).pocketSize, 0) << "entry 0 is the empty item";
    for (int i = 1; i < d.itemCount(); ++i) {
        EXPECT_GE(d.item(i).pocketSize, 1);
        EXPECT_LE(d.item(i).pocketSize, 3);
        EXPECT_GE(d.item(i).pocketSize, d.item(i - 1).pocketSize) << i;
    }
    // Every size is on offer, so the pockets left always matter.
    EXPECT_LT(d.itemsUpToSize1(), d.itemsUpToSize2());
    EXPECT_LT(d.itemsUpToSize2(), d.itemCount());
}

TEST(ContentTree, EveryListEntryNamesItsIconAndAPlayablePreview) {
    DataLoader d = loadAll(kEditorLines);
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 0; i < d.weaponCount(); ++i)
        files.push_back({d.weapon(i).iconFile, d.weapon(i).videoFile});
    for (int i = 0; i < d.shieldCount(); ++i)
        files.push_back({d.shield(i).iconFile, d.shield(i).videoFile});
    for (int i = 0; i < d.armourCount(); ++i)
        files.push_back({d.armour(i).iconFile, d.armour(i).videoFile});
    for (int i = 0; i < d.itemCount(); ++i)
        files.push_back({d.item(i).iconFile, d.item(i).videoFile});
    for (const auto& [icon, video] : files) {
        auto info = inspectPicture(icon);
        EXPECT_EQ(info.width, 40) << icon;
        int frames = 0, w = 0, h = 0;
        EXPECT_EQ(test::checkAvi(video, frames, w, h), "") << video;
        EXPECT_GE(frames, 8) << video;
        EXPECT_GT(w, 0) << video;
    }
}

TEST(ContentTree, StartingEquipmentKeepsThePocketRules) {
    DataLoader d = loadAll(kGameLines);
    EquipmentChoice e;
    ASSERT_TRUE(readEquipmentFile(e));
    ASSERT_LT(e.weapon, d.weaponCount());
    ASSERT_LT(e.shield, d.shieldCount());
    ASSERT_LT(e.armour, d.armourCount());
    const WeaponSpec& w = d.weapon(e.weapon);
    int pockets = d.armour(e.armour).pockets + w.extraPockets +
                  (w.twoHanded ? 0 : d.shield(e.shield).extraPockets);
    pockets = std::min(pockets, 5);
    int k = 0;
    while (k < 5) {
        int item = e.pockets[static_cast<size_t>(k)];
        ASSERT_LT(item, d.itemCount());
        int size = std::max<int>(1, d.item(item).pocketSize);
        if (item != 0) {
            EXPECT_LE(k + size, pockets) << "item in pocket " << k + 1 << " does not fit";
            for (int j = k + 1; j < k + size && j < 5; ++j)
                EXPECT_EQ(e.pockets[static_cast<size_t>(j)], 0);
        } else if (k >= pockets) {
            EXPECT_EQ(item, 0);
        }
        k += item ? size : 1;
    }
}

TEST(ContentTree, EveryHairHasANameAndA200PixelPreview) {
    std::vector<std::string> names;
    ASSERT_TRUE(readHairNames(names));
    int pictures = 0;
    for (const auto& e : std::filesystem::directory_iterator("File/Bitmap/Hair")) {
        auto info = inspectPicture(e.path().string());
        EXPECT_EQ(info.width, 200) << e.path();
        EXPECT_EQ(info.height, 200) << e.path();
        EXPECT_TRUE(info.hasKeyCyan) << e.path();
        ++pictures;
    }
    EXPECT_EQ(static_cast<size_t>(pictures), names.size());
    EXPECT_GE(pictures, 2);
}

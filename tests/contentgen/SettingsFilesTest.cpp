// The files a player saves from the game and its editors come with the build only where none
// exists yet: a rebuild must never take his choices away.
#include "data/DataLoader.h"
#include "net/Session.h"
#include "tests/support/TempGameFolder.h"

#include <cstdlib>

using namespace kv;

namespace {

class SettingsFiles : public TempGameFolder {
protected:
    // Both generators into the current folder, as the build runs them into the game folder.
    static void generate() {
        for (std::string gen : {KV_CONTENTGEN, KV_MODELGEN})
            ASSERT_EQ(std::system((gen + " . > /dev/null").c_str()), 0) << gen;
    }
};

} // namespace

TEST_F(SettingsFiles, ANewGameFolderGetsARotationOfEveryMapInTheGamesOwnFormat) {
    ASSERT_NO_FATAL_FAILURE(generate());
    DataLoader data;
    ASSERT_TRUE(data.loadMaps());
    ASSERT_GT(data.mapCount(), 1);
    Session shipped(data);
    ASSERT_TRUE(shipped.loadServerSettings()) << "no ServerSetting.ini in the game folder";
    for (int i = 0; i < data.mapCount(); ++i)
        EXPECT_EQ(data.map(i).selected, i + 1) << "map " << i << " is not in the rotation in order";

    // The same bytes the game writes for its defaults with every map chosen.
    std::string file = get("ServerSetting.ini");
    Session defaults(data);
    for (int i = 0; i < data.mapCount(); ++i)
        data.setMapSelected(i, static_cast<uint8_t>(i + 1));
    ASSERT_TRUE(defaults.saveServerSettings());
    EXPECT_EQ(get("ServerSetting.ini"), file);

    EXPECT_FALSE(get("File/Data/EQI_Equipped.dat").empty()) << "a newcomer's equipment";
}

TEST_F(SettingsFiles, ARebuildKeepsThePlayersEquipmentAndServerSettings) {
    const std::string equipment = "5\r\n0\r\n3\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";
    const std::string server = "My room\r\nhello\r\n4\r\n2\r\n";
    put("File\\Data\\EQI_Equipped.dat", equipment);
    put("ServerSetting.ini", server);
    ASSERT_NO_FATAL_FAILURE(generate());
    EXPECT_EQ(get("File/Data/EQI_Equipped.dat"), equipment);
    EXPECT_EQ(get("ServerSetting.ini"), server);
    EXPECT_FALSE(get("File/Data/LIST_MapData.dat").empty()) << "the content itself is made";
}

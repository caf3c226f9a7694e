#include "ui/PracticeStart.h"

#include "platform/Text.h"

namespace kv {

bool startPractice(Game& game, Session& session, const DataLoader& data,
                   const PracticeLinks& links) {
    game.localSlot = 0;
    game.inGame = 1;
    game.mapIndex = session.currentMap;
    session.repeatsDone = 0;
    if (links.placeAll)
        links.placeAll();

    PlayerState& p = game.players[0];
    p.inUse = 1;
    p.alive = 1;
    p.hp = 10000;
    p.sp = 10000;
    PlayerEquip& equip = game.equips[0];
    data.loadEquipment(equip);
    setWeapon(equip, equip.weapon);
    PlayerLook& look = game.looks[0];
    if (!data.loadProfile(look))
        DataLoader::defaultProfile(look);
    copyToField(game.playerNames[0].data(), game.playerNames[0].size(),
                fromField(look.name, sizeof look.name));

    auto load = [&](uint8_t stage, uint8_t syncDone) {
        game.loadStage = stage;
        game.syncDone = syncDone;
        return !links.runLoadingDialog || links.runLoadingDialog();
    };
    if (!load(1, 1) || !load(2, 0))
        return false;
    game.inGame = 1;
    game.joined = 1;
    return true;
}

} // namespace kv

#include "shell/LoadingPlugs.h"

namespace kv {

void plugDataLoads(LoadHooks& hooks, DataLoader& data, FaceWearList& faceWear,
                   MissingFileMessage& missing) {
    hooks.readLists = [&data, &faceWear, &missing] {
        const ProfileOptions& flags = data.options().profile;
        if (!faceWear.build(flags.loadFace != 0, flags.loadWear != 0)) {
            missing.set(faceWear.message());
            return false;
        }
        if (!(data.loadMaps() && data.loadWeapons() && data.loadItems() && data.loadShields() &&
              data.loadArmours())) {
            missing.set(data.message());
            return false;
        }
        return true;
    };
    // Read once here so that a missing file stops the start; each game reads it again.
    hooks.readEquipment = [&data] {
        PlayerEquip probe{};
        return data.loadEquipment(probe);
    };
    hooks.loadHair = [&data] { return data.options().profile.loadHair != 0; };
    hooks.contentSizes = [&data, &faceWear] {
        return ContentSizes{data.lastListIndex(1), data.lastListIndex(0), data.lastListIndex(2),
                            faceWear.faceCount(), faceWear.wearCount()};
    };
}

} // namespace kv

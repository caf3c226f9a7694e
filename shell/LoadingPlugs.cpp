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

void plugRenderLoads(LoadHooks& hooks, Renderer& renderer, const FaceWearList& faceWear) {
    hooks.setDefaultStates = [&renderer] {
        renderer.setDefaultStates();
        return true;
    };
    hooks.setProjectionAndFonts = [&renderer] {
        renderer.setProjection(45);
        return true;
    };
    hooks.createSpriteAndTextTargets = [&renderer] {
        return renderer.createSpriteAndTextTargets();
    };
    hooks.textures = [&renderer, &faceWear](int group) {
        std::vector<LoadFile> files;
        const TextureGroup* g = textureGroup(group);
        if (!g)
            return files;
        int count = group == kTextureFaces   ? faceWear.faceCount()
                    : group == kTextureWears ? faceWear.wearCount()
                                             : g->count;
        for (int i = 0; i < count; ++i) {
            std::string name = group == kTextureFaces   ? faceWear.faceFile(i)
                               : group == kTextureWears ? faceWear.wearFile(i)
                                                        : std::string(g->files[i]);
            files.push_back({g->folder, name, [&renderer, group, i, name] {
                                 return renderer.loadTexture(group, i, name) == 1;
                             }});
        }
        return files;
    };
}

} // namespace kv

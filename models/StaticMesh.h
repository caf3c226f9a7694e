#pragma once
#include "models/MeshData.h"
#include "models/XFileData.h"
#include "platform/gfx/Device.h"

#include <string>
#include <string_view>
#include <vector>

namespace kv {

class Random;

// A model that does not animate: every mesh of a file, placed by its frames, merged into one
// mesh drawn material by material with the materials' own colours and textures.
struct StaticMesh {
    RigidMesh mesh;
    std::vector<Material> materials; // one per subset
    std::vector<TextureId> textures; // one per subset, 0 when missing
    MeshId gpu = 0;
    bool loaded() const { return gpu != 0 || !mesh.indices.empty(); }
};

// How a file's material lights under the scene's lights: its diffuse, specular and emissive
// colours and power, no ambient colour.
Material sceneMaterial(const XMaterialDef& d);

// The textures a static mesh's materials name, from textureFolder. "Sky_01.bmp" becomes one of
// the three sky pictures at random; the colour-keyed names load with cyan transparent.
// A texture that fails to load stays 0.
void loadStaticTextures(Device& device, Random& random, const std::string& textureFolder,
                        StaticMesh& m);
void drawStaticMesh(Device& device, const StaticMesh& m);
void releaseStaticMesh(Device& device, StaticMesh& m);

} // namespace kv

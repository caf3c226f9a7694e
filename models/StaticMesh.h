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
    std::vector<uint8_t> opaque;     // one per subset: colour and texture have no alpha
    std::vector<size_t> order;       // the subsets as drawn; empty: as listed
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
// Where every subset is opaque, draws them smallest surface first: the largest is the ground
// the rest stands on, and what is already drawn in front of it then fails the depth test
// before its pixels are shaded. Opaque pixels under the depth test come out the same in any
// order; a subset that blends keeps the order as listed.
void drawGroundLast(StaticMesh& m);
void drawStaticMesh(Device& device, const StaticMesh& m);
void releaseStaticMesh(Device& device, StaticMesh& m);

} // namespace kv

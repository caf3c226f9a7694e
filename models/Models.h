#pragma once
#include "models/StaticMesh.h"
#include "models/XModel.h"
#include "shell/GameState.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace kv {

class DataLoader;
class Random;

// The map's triangles in world units for the movement sweep: positions and an index list.
struct CollisionTriangles {
    std::vector<glm::vec3> vertices;
    std::vector<uint32_t> indices;
};

// How the drawing code wants one slot's character drawn this frame.
struct CharacterDraw {
    float poseTime = 0;            // the slot's animation time (AnimController::poseTime)
    float drawHeight = 0;          // the slot's filtered height (its real y below -3000)
    float yaw = 0;                 // degrees; the local player's last living yaw while dead
    bool drawBody = true;          // false for the viewed slot while the local model is hidden
    bool showHair = false;         // the hair option
    bool overrideTextures = false; // the face or clothes option
    TextureId face = 0, wear = 0;
};

// The part-model catalogue, the static meshes of equipment, map and scenery, the scene lights,
// and the drawing of characters and of the scene. One instance per program.
class Models {
public:
    Models(Device& device, Game& game, DataLoader& data, Random& random);
    ~Models();

    // Loads one catalogue entry: 1 success, 0 failure (onMissing has been told the folder and
    // file), 255 for an unknown kind. Kinds: 0 body, 1 head, 2 weapon motion, 3 shield motion,
    // 4 weapon object, 5 broken weapon, 6 item, 7 shield object, 8 broken shield, 9 scenery,
    // 10 the current map, 11 hair (index = style, 6 or more loads nothing).
    uint8_t loadPart(int partKind, int index, int bodyType);
    // The folder and file a catalogue entry loads from.
    std::pair<std::string, std::string> partFile(int partKind, int index, int bodyType) const;
    std::function<void(const std::string& folder, const std::string& name)> onMissing;

    // After a map change: scenery (not on a dedicated host) and the map again.
    bool reloadMapModels(bool dedicatedHost);
    void setupLights();
    void releaseAll();

    void drawCharacter(int slot, const CharacterDraw& how);
    // The game frame draws the map first and the scenery after it, so that the sky is shaded
    // only where the map leaves it visible. The scenery is the sky and, on map 1, the field
    // trees, whose keyed edges must blend over the sky.
    void drawScenery();
    void drawMap();

    const CollisionTriangles& collision() const { return collision_; }
    XModel* part(int partKind, int index, int bodyType = 0);
    // A static-mesh entry (kinds 4 to 10), or nullptr for another kind or index.
    const StaticMesh* staticPart(int partKind, int index) const;

private:
    bool loadHierarchy(std::unique_ptr<XModel>& slot, const std::string& file);
    bool loadStatic(int partKind, const std::string& file, StaticMesh& into);
    bool upload(XModel& m);
    void drawModel(XModel& m, int slot, const glm::mat4& place, TextureId override);
    void releaseModel(std::unique_ptr<XModel>& m);
    glm::mat4 mapWorld() const;

    Device& device_;
    Game& game_;
    DataLoader& data_;
    Random& random_;
    std::array<std::unique_ptr<XModel>, 5> bodies_, heads_;
    std::array<std::unique_ptr<XModel>, 9> weaponMotions_;
    std::array<std::unique_ptr<XModel>, 15> shieldMotions_;
    std::array<std::array<std::unique_ptr<XModel>, 5>, 5> hair_; // [style - 1][body type]
    std::array<StaticMesh, 15> weaponObjects_, brokenWeaponObjects_;
    std::array<StaticMesh, 20> itemObjects_;
    std::array<StaticMesh, 10> shieldObjects_, brokenShieldObjects_;
    std::array<StaticMesh, 4> background_;
    StaticMesh map_;
    CollisionTriangles collision_;
};

} // namespace kv

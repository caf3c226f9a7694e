#include "world/World.h"

#include "data/DataLoader.h"
#include "models/MeshData.h"
#include "platform/Paths.h"

namespace kv {

namespace {
constexpr float kAnimationSpeed = 0.9f;
constexpr const char* kXFileFolder = "File\\XFile\\";
} // namespace

World::World(Clock& clock, Random& random, const DataLoader& data, SoundOut& sound,
             ControlLink& link, ClientPort& clientPort, TickLinks shell)
    : control(game, clock, data, map, *this, sound, link, router),
      client(game, data, clock, random, *this, clientPort),
      tick(game, clock, router, withWorld(std::move(shell))), data_(data) {
    router.setClientSide(&clientSide_);
}

TickLinks World::withWorld(TickLinks shell) {
    shell.simulate = [this] { simulate(); };
    shell.advanceAnimation = [this](int slot) { anim.advance(slot, kAnimationSpeed); };
    return shell;
}

bool World::loadMap() {
    map = CollisionMesh{};
    if (game.mapIndex >= data_.mapCount())
        return false;
    const MapSpec& spec = data_.map(game.mapIndex);
    std::string bytes;
    RigidMesh mesh;
    if (!readWholeFile(kXFileFolder + spec.modelFile, bytes) || !readStaticMesh(bytes, mesh))
        return false;
    std::vector<glm::vec3> placed;
    placed.reserve(mesh.vertices.size());
    const glm::vec3 offset(spec.offset[0], spec.offset[1], spec.offset[2]);
    for (const auto& v : mesh.vertices)
        placed.push_back(v.position * float(spec.scale) + offset);
    setMapTriangles(placed, mesh.indices);
    return true;
}

void World::setMapTriangles(const std::vector<glm::vec3>& vertices,
                            const std::vector<uint32_t>& indices) {
    // The collision list is 16-bit; an index past it names no vertex and its triangle is dropped.
    std::vector<uint16_t> narrow;
    narrow.reserve(indices.size());
    for (uint32_t i : indices)
        narrow.push_back(static_cast<uint16_t>(i < 0xFFFF ? i : 0xFFFF));
    map = buildCollisionMesh(vertices, narrow, 1.0f, glm::vec3(0));
}

void World::simulate() {
    uint8_t me = game.localSlot;
    if (!input_ || me >= kSlots)
        return;
    control.updateDistances();
    control.controlActions(*input_);
    control.sweepMovement(me, game.players[me], game.playersNet[me], *input_);
    control.footsteps(*input_);
}

} // namespace kv

#pragma once
#include "shell/GameState.h"

#include <array>
#include <glm/vec3.hpp>

namespace kv {

struct CollisionMesh;

// The host's own record of one map item: its state, and where its next fall step is swept from.
struct HostItem {
    MapItem target{};
    glm::vec3 stepPos{};
};

using HostItems = std::array<HostItem, kMapItems>;

// A round starts from the shared table: every target a copy, swept from where it lies.
void copyItemsToHost(const std::array<MapItem, kMapItems>& table, HostItems& items);

// One tick of a falling item: it drops onto the map's floor, or is gone below -8000. Every
// change is published to the shared table.
void fallMapItem(HostItems& items, int index, const CollisionMesh& map,
                 std::array<MapItem, kMapItems>& table);

} // namespace kv

#include "sim/MapItems.h"

#include "sim/CollisionMesh.h"

#include <cmath>

namespace kv {
namespace {

constexpr float kStepY = 7;
constexpr float kFallSpeed = 5;
constexpr float kGoneBelow = -8000;
constexpr float kProbe = 10;
// More steps than any drop from a real map needs: a drop this long only comes from a broken
// table, and ends where the item is.
constexpr int kMaxSteps = 4096;

} // namespace

void copyItemsToHost(const std::array<MapItem, kMapItems>& table, HostItems& items) {
    for (int i = 0; i < kMapItems; ++i) {
        items[i].target = table[i];
        items[i].stepPos = {table[i].x, table[i].y, table[i].z};
    }
}

void fallMapItem(HostItems& items, int index, const CollisionMesh& map,
                 std::array<MapItem, kMapItems>& table) {
    if (index < 0 || index >= kMapItems)
        return;
    HostItem& item = items[index];
    MapItem& t = item.target;
    for (int n = 0; n < kMaxSteps; ++n) {
        const float d = t.y - item.stepPos.y;
        const bool arrived = !(std::abs(d) > kStepY);
        item.stepPos.y = arrived ? t.y : item.stepPos.y + (d > 0 ? kStepY : -kStepY);

        if (t.falling == 1) {
            t.fallSpeed = kFallSpeed;
            t.y -= kFallSpeed;
            if (t.y <= kGoneBelow) {
                t.active = 0;
                t.falling = 0;
                t.fallSpeed = 0;
                table[index] = t;
            }
        }
        glm::vec3 out{};
        glm::vec3 from = item.stepPos - glm::vec3(0, kProbe, 0);
        glm::vec3 to = item.stepPos + glm::vec3(0, kProbe, 0);
        if (collide(map, CollideMode::Ground, out, from, to) == 1) {
            t.y = out.y; // the floor + 5
            t.falling = 0;
            t.fallSpeed = 0;
            table[index] = t;
        }
        if (arrived)
            break;
    }
    item.stepPos = {t.x, t.y, t.z};
}

} // namespace kv

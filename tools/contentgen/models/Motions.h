#pragma once
#include "data/AnimTables.h"
#include "tools/contentgen/models/Skeleton.h"
#include "tools/contentgen/models/XText.h"

#include <string>
#include <vector>

namespace kv::gen {

// A pose: each joint's turn in degrees (about x: limbs swing forward; y: twist to the
// figure's right; z: the right arm out to the side at negative angles) and how far the hips
// move from their rest place.
struct Pose {
    std::array<glm::vec3, kJoints> turn{};
    glm::vec3 hips{0};
};

// A motion: key poses at frame offsets from its start.
struct Motion {
    std::string name;
    std::vector<std::pair<int, Pose>> keys;
    int length() const { return keys.back().first; }
};

// Where each motion of a body type's timeline starts.
struct Timeline {
    std::vector<Motion> motions;
    std::vector<int> start; // first frame of each motion
    int frameOf(const std::string& motion, bool last) const;
};

// Every motion the rows of the body type's two weapon kinds need, laid end to end.
Timeline timelineOf(int bodyType);

// The animation keys of a timeline for one build (joint offsets scale with the body).
std::vector<GenAnimation> animationsOf(const Timeline& t, const Build& b);

// The weapon kinds that share a body type's models.
std::array<int, 2> weaponKindsOf(int bodyType);
int bodyTypeOf(int weaponKind);

// The rows and the action map of one weapon kind, against its body type's timeline.
struct WeaponRows {
    std::vector<AnimTables::Row> rows;
    std::array<uint8_t, AnimTables::kActions> actions{};
};
WeaponRows rowsOf(int weaponKind, const Timeline& t);

} // namespace kv::gen

#pragma once
#include <array>
#include <glm/glm.hpp>

namespace kv::gen {

// The joints every character model shares, parents first. Figures face -z with their right
// side at -x; one model unit is 15 world units and the feet stand at y = 0.
enum Joint {
    Hips,
    Spine,
    Chest,
    Neck,
    Head,
    RShoulder,
    RElbow,
    RHand,
    LShoulder,
    LElbow,
    LHand,
    RHip,
    RKnee,
    RFoot,
    LHip,
    LKnee,
    LFoot,
    kJoints
};

extern const std::array<const char*, kJoints> kJointNames;
extern const std::array<int, kJoints> kJointParent;

// The build of one body type.
struct Build {
    float scale;    // overall size
    float shoulder; // half the shoulder width
    float chestW, chestD, waistW, hipW;
    float arm, leg; // limb thickness
    float head;     // head height
};
const Build& buildOf(int bodyType);

// A joint's offset from its parent in the rest pose.
glm::vec3 jointOffset(const Build& b, Joint j);

} // namespace kv::gen

#include "tools/contentgen/models/Skeleton.h"

namespace kv::gen {

const std::array<const char*, kJoints> kJointNames = {
    "Hips",    "Spine",  "Chest",      "Neck",    "Head",   "R_Shoulder",
    "R_Elbow", "R_Hand", "L_Shoulder", "L_Elbow", "L_Hand", "R_Hip",
    "R_Knee",  "R_Foot", "L_Hip",      "L_Knee",  "L_Foot"};
const std::array<int, kJoints> kJointParent = {-1,        Hips,   Spine, Chest,     Neck,   Chest,
                                               RShoulder, RElbow, Chest, LShoulder, LElbow, Hips,
                                               RHip,      RKnee,  Hips,  LHip,      LKnee};

const Build& buildOf(int bodyType) {
    // 0 brawler (fists, claw), 1 slim (knife, staff), 2 soldier (sword, axe),
    // 3 heavy (great sword, hammer), 4 tall (spear, bow).
    static const Build builds[5] = {
        {1.00f, 0.40f, 0.78f, 0.46f, 0.62f, 0.50f, 0.25f, 0.28f, 0.56f},
        {0.95f, 0.33f, 0.62f, 0.36f, 0.50f, 0.42f, 0.18f, 0.22f, 0.54f},
        {1.00f, 0.37f, 0.70f, 0.42f, 0.56f, 0.46f, 0.22f, 0.26f, 0.56f},
        {1.08f, 0.44f, 0.86f, 0.52f, 0.74f, 0.56f, 0.27f, 0.31f, 0.56f},
        {1.06f, 0.35f, 0.66f, 0.40f, 0.52f, 0.44f, 0.20f, 0.24f, 0.54f},
    };
    return builds[bodyType < 0 || bodyType > 4 ? 0 : bodyType];
}

glm::vec3 jointOffset(const Build& b, Joint j) {
    glm::vec3 o{0};
    switch (j) {
    case Hips:
        o = {0, 1.93f, 0};
        break;
    case Spine:
        o = {0, 0.2f, 0};
        break;
    case Chest:
        o = {0, 0.55f, 0};
        break;
    case Neck:
        o = {0, 0.62f, 0};
        break;
    case Head:
        o = {0, 0.14f, 0};
        break;
    case RShoulder:
        o = {-b.shoulder, 0.48f, 0};
        break;
    case LShoulder:
        o = {b.shoulder, 0.48f, 0};
        break;
    case RElbow:
    case LElbow:
        o = {0, -0.72f, 0};
        break;
    case RHand:
    case LHand:
        o = {0, -0.64f, 0};
        break;
    case RHip:
        o = {-b.hipW * 0.5f, -0.08f, 0};
        break;
    case LHip:
        o = {b.hipW * 0.5f, -0.08f, 0};
        break;
    case RKnee:
    case LKnee:
        o = {0, -0.92f, 0};
        break;
    case RFoot:
    case LFoot:
        o = {0, -0.86f, 0};
        break;
    default:
        break;
    }
    return o * b.scale;
}

} // namespace kv::gen

#pragma once
#include "tools/contentgen/models/Motions.h"
#include "tools/contentgen/models/Pictures.h"

#include <string>

namespace kv::gen {

// The character part models as text .x files. Each carries the full joint hierarchy and the
// body type's whole timeline, so every part moves with the body.
std::string bodyModel(int bodyType);
std::string headModel(int bodyType);
std::string hairModel(int style, int bodyType); // style 1..5
// Weapon motion entry 1..8 (8: two knives); the weapon sits in the hand(s).
std::string weaponMotionModel(int entry);
// Shield 1 buckler, 2 kite, 3 tower, on the left forearm.
std::string shieldMotionModel(int bodyType, int shield);
// A frame and nothing else: the placeholder for entries without a model.
std::string placeholderModel();

// Static objects: the weapon or shield alone, whole or broken, and the items.
std::string weaponObject(int kind, bool broken);
std::string shieldObject(int shield, bool broken);
std::string itemObject(int index);

// Textures the models name, with their file names (under File\XFile\).
struct NamedPicture {
    std::string file;
    Picture picture;
};
std::vector<NamedPicture> characterPictures();

} // namespace kv::gen

#pragma once
#include "data/DataLoader.h"
#include "data/FaceWearList.h"
#include "render/Renderer.h"
#include "shell/LoadingStages.h"

namespace kv {

// The data files' part of the loading stages: the face and wear lists, the map, weapon, item,
// shield and armour lists and the equipment file at program start; the list sizes and the hair
// option of the game-start stage. A file that cannot be read fails its step with the reader's
// own message.
void plugDataLoads(LoadHooks& hooks, DataLoader& data, FaceWearList& faceWear,
                   MissingFileMessage& missing);

// The renderer's part of the program-start and game-start stages: the fixed states, the
// projection, the text targets, and every picture of the texture table (faces and wears by the
// face and wear lists).
void plugRenderLoads(LoadHooks& hooks, Renderer& renderer, const FaceWearList& faceWear);

} // namespace kv

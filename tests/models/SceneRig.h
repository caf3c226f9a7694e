#pragma once
// A game scene without the rest of the game: window, device, lights, models and the animation
// tables, for the drawing test and the benchmark. Runs from the game folder.
#include "data/DataLoader.h"
#include "models/AnimController.h"
#include "models/Models.h"
#include "platform/Random.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Window.h"

#include <memory>
#include <string>

namespace kv {

// The clear colour behind a scene without a map.
constexpr Colour kBackdrop = 0xFF203040;

struct SceneRig {
    Window window;
    std::unique_ptr<Device> device;
    Game game;
    DataLoader data;
    Random random{7};
    AnimTables tables;
    std::unique_ptr<Models> models;
    std::string error;

    // Opens the window and loads every character part, the objects and the lists.
    bool open(int width, int height);
    bool loadMap(int mapIndex);
    // A fighter in a slot: weapon kind, shield, hair style, place and facing.
    void place(int slot, int weapon, int shield, int hair, float x, float z, float yaw);
    // The time of a slot playing an action's row, at a fraction of the row.
    float timeOf(int slot, int action, float fraction) const;
    // The scene from an eye to a target: sky, map, characters at their times.
    void draw(glm::vec3 eye, glm::vec3 target, const std::array<float, kSlots>& times);
};

} // namespace kv

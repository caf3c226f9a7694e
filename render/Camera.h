#pragma once
#include <functional>

#include <glm/glm.hpp>

namespace kv {

class Hud;
class Renderer;
struct Game;

// Given a segment's start and end, true when it hits the map; the end becomes the hit point.
using CameraRay = std::function<bool(const glm::vec3& start, glm::vec3& end)>;

// Follows the viewed slot from behind and above, pulls in before walls, and writes the view.
class Camera {
public:
    Camera(Renderer& renderer, Hud& hud, Game& game) : r_(renderer), hud_(hud), game_(game) {}

    // The map's collision for the two camera rays (none: nothing is hit).
    CameraRay ray;

    // Once per drawn frame: the view, the HUD text targets and, on a new map, the fog.
    void updateCamera();

private:
    Renderer& r_;
    Hud& hud_;
    Game& game_;
};

} // namespace kv

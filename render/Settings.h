#pragma once
#include "render/Renderer.h"

namespace kv {

struct Options;
struct MapSpec;

// What the renderer takes from the option files and from the current map's record.
RenderSettings renderSettingsFrom(const Options& options);
MapView mapViewOf(const MapSpec& map);

} // namespace kv

#include "render/Settings.h"

#include "data/Options.h"
#include "data/Records.h"

namespace kv {

RenderSettings renderSettingsFrom(const Options& o) {
    RenderSettings s;
    s.effectCount = o.graphics.effectCount > 16 ? 16 : o.graphics.effectCount;
    s.hideFps = o.game.hideFps != 0;
    s.hideChat = o.game.hideChat != 0;
    s.noTitleEffects = o.game.noTitleEffects != 0;
    return s;
}

MapView mapViewOf(const MapSpec& m) {
    MapView v;
    v.verticalOffset = m.offset[1];
    v.fogMode = m.fogMode;
    v.fogColour = m.fogColour;
    v.fogStart = m.fogStart;
    v.fogEnd = m.fogEnd;
    v.fogDensity = m.fogDensity;
    return v;
}

} // namespace kv

#pragma once
#include "tools/contentgen/core/Canvas.h"

#include <cstdint>

namespace kv::gen {

// Pieces of painted scenery shared by the title and the loading pictures.
struct SkyLook {
    Colour zenith, horizon;
    float stars = 0;  // 0 none .. 1 many
    float clouds = 0; // 0 none .. 1 overcast
    Vec2 sun{-1, -1}; // position in pixels; negative = no sun
    Colour sunColour = hex(0xFFE8A0);
    uint32_t seed = 1;
};
void paintSky(Canvas& c, const SkyLook& sky, float horizonY);

// A mountain range: fractal ridge between two heights.
void paintRidge(Canvas& c, float baseY, float height, Colour colour, uint32_t seed,
                float roughness = 1.0f);

// The arena wall: tiers of arches seen from inside, spanning the width.
void paintColiseum(Canvas& c, float baseY, float height, Colour stone, uint32_t seed);

// Sand or grass ground with noise texture from horizonY down.
void paintGround(Canvas& c, float horizonY, Colour nearColour, Colour farColour, uint32_t seed);

// A fighter silhouette standing at (x, footY), height h, facing right when facing > 0, with a
// weapon kind 0..9 in hand.
void paintFighter(Canvas& c, float x, float footY, float h, float facing, int weapon,
                  Colour colour);

// A burning torch on a post with its glow.
void paintTorch(Canvas& c, float x, float y, float size);

// Darkens the edges.
void vignette(Canvas& c, float strength);

} // namespace kv::gen

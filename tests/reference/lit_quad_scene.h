// The scene-level reference frame: a textured quad lit by one point light (with attenuation
// and specular highlights), seen through a scene Camera and drawn with Material::apply. The
// numbers are shared with the test that checks chosen pixels against the lighting formulas.
#pragma once

#include "platform/d3d9/d3d9.h"

namespace litquad {

constexpr UINT kWidth = 256;
constexpr UINT kHeight = 192;
constexpr D3DCOLOR kBackground = 0xFF102030;

// Camera node at (0, kEyeHeight, 0), unturned: it looks along −y with +z up on screen.
constexpr float kEyeHeight = 10.0f;
constexpr float kFieldOfView = 1.0471976f; // π/3
constexpr float kNear = 1.0f;
constexpr float kFar = 100.0f;

// The quad: y = 0, x and z in [−kHalf, kHalf]; u runs with x, v against z.
constexpr float kHalf = 3.0f;

// The 4 × 4 texture: 2 × 2 texel blocks of these colours (X8R8G8B8), top-left block first.
constexpr D3DCOLOR kBlocks[4] = {0xFFE63C28, 0xFF3CC850, 0xFF325ADC, 0xFFDCD25A};

constexpr float kLightPosition[3] = {1.5f, 2.5f, 1.0f};
constexpr float kLightColour[4] = {1.0f, 0.9f, 0.8f, 1.0f};
constexpr float kLightIntensity = 1.25f;
constexpr float kAttenuation[3] = {0.6f, 0.08f, 0.01f};
constexpr float kRange = 50.0f;

constexpr D3DCOLOR kSceneAmbient = 0x00404040;
constexpr float kMaterialAmbient[3] = {0.3f, 0.3f, 0.3f};
constexpr float kSelfIllumination = 0.1f;
constexpr float kSpecularColour[3] = {1.0f, 1.0f, 1.0f};
constexpr float kSpecularLevel = 0.8f;
constexpr float kGlossiness = 0.5f; // power 16

// Builds the scene on `device`, draws the frame and presents it.
void draw(IDirect3DDevice9* device);

} // namespace litquad

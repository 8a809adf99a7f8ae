// Generates the GLSL 4.50 sources of one fixed-function program from its key: a vertex stage
// (transform, lighting, texture coordinates, half-pixel nudge, point size), a geometry stage
// for points (each point becomes a screen-aligned quad), and the texture stage cascade with
// alpha test in the fragment stage.
#pragma once

#include "platform/d3d9/core/ff_key.h"

#include <string>

namespace d3dgl {

// The device core's types read as this backend's own.
using namespace d3dcore;

struct FfShaderSources {
    std::string vertex;
    std::string geometry;   // empty when the key draws no points
    std::string fragment;
};

FfShaderSources generateFfShaders(const FfKey& key);

// Attribute locations of the vertex layout (shared with the vertex array set-up).
enum FfAttribute : int {
    kAttribPosition = 0,
    kAttribNormal = 1,
    kAttribPointSize = 2,
    kAttribDiffuse = 3,
    kAttribSpecular = 4,
    kAttribTexCoord0 = 5,
};

// The uniform arrays every program declares, in this order, and their lengths in vec4s.
enum FfUniformArray : int { kUniformDraw = 0, kUniformLights = 1, kUniformTextures = 2, kUniformArrays = 3 };
constexpr const char* kUniformArrayNames[kUniformArrays] = {"ffDraw", "ffLights", "ffTextures"};

} // namespace d3dgl

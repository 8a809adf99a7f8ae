// The texture-stage and sampler states of each material map role, set on one stage.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "scene/texture.h"

// `glowPass`: the sphere reflection map modulates instead of adding smoothly.
void setRoleStages(IDirect3DDevice9* device, DWORD stage, TextureRole role, bool glowPass);

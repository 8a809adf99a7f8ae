// Values every implementation of the device API starts from: the identity transform and the
// light that LightEnable creates on an index that was never set.
#pragma once

#include "platform/d3d9/d3d9.h"

inline D3DMATRIX identityMatrix()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// A white directional light along +z, with no specular or ambient part.
inline D3DLIGHT9 defaultLight()
{
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    return light;
}

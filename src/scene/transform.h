// A node's placement: position, rotation quaternion (x, y, z, w) and scale, ten floats in the
// order scene files store them. The local matrix is scale × rotation × translation (row vectors).
#pragma once

#include "platform/d3dx/d3dx_math.h"

struct Transform {
    D3DXVECTOR3 position{0, 0, 0};
    D3DXQUATERNION rotation{0, 0, 0, 1};
    D3DXVECTOR3 scale{1, 1, 1};
};

D3DXMATRIX localMatrix(const Transform& transform);
// Position and scale linear, rotation by slerp from a to b.
Transform blend(const Transform& a, const Transform& b, float weight);

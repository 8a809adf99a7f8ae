// Six normalised planes (left, right, top, bottom, near, far) and the bounding-sphere test.
// The test stops at the first plane the sphere straddles and calls that visible, so a sphere
// cut by one plane is drawn even if a later plane would reject it.
#pragma once

#include "platform/d3dx/d3dx_math.h"

#include <array>

struct Frustum {
    // All-zero planes: every sphere passes.
    std::array<D3DXPLANE, 6> planes{};

    bool containsSphere(const D3DXVECTOR3& centre, float radius) const;
    // The planes of view × projection, each normalised.
    static Frustum fromViewProjection(const D3DXMATRIX& viewProjection);
};

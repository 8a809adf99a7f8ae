#include "scene/frustum.h"

#include <cmath>

bool Frustum::containsSphere(const D3DXVECTOR3& centre, float radius) const
{
    for (const D3DXPLANE& plane : planes) {
        const float distance = plane.a * centre.x + plane.b * centre.y + plane.c * centre.z + plane.d;
        if (distance < -radius) return false;
        if (std::fabs(distance) < radius) return true;
    }
    return true;
}

Frustum Frustum::fromViewProjection(const D3DXMATRIX& m)
{
    auto column = [&](int j) { return D3DXPLANE(m(0, j), m(1, j), m(2, j), m(3, j)); };
    auto add = [](const D3DXPLANE& p, const D3DXPLANE& q) { return D3DXPLANE(p.a + q.a, p.b + q.b, p.c + q.c, p.d + q.d); };
    auto sub = [](const D3DXPLANE& p, const D3DXPLANE& q) { return D3DXPLANE(p.a - q.a, p.b - q.b, p.c - q.c, p.d - q.d); };
    const D3DXPLANE c1 = column(0), c2 = column(1), c3 = column(2), c4 = column(3);
    Frustum frustum;
    frustum.planes = {add(c4, c1), sub(c4, c1), sub(c4, c2), add(c4, c2), c3, sub(c4, c3)};
    for (D3DXPLANE& plane : frustum.planes) D3DXPlaneNormalize(&plane, &plane);
    return frustum;
}

// Vector and plane helpers: products, lengths, normalisation and transforms by a matrix.

#include "platform/d3dx/d3dx_vector.h"

#include <cmath>

float D3DXVec3Dot(const D3DXVECTOR3* v1, const D3DXVECTOR3* v2)
{
    return v1->x * v2->x + v1->y * v2->y + v1->z * v2->z;
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2)
{
    const D3DXVECTOR3 a = *v1, b = *v2;
    *out = D3DXVECTOR3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
    return out;
}

float D3DXVec3LengthSq(const D3DXVECTOR3* v)
{
    return D3DXVec3Dot(v, v);
}

float D3DXVec3Length(const D3DXVECTOR3* v)
{
    return std::sqrt(D3DXVec3LengthSq(v));
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v)
{
    const float length = D3DXVec3Length(v);
    *out = length > 0 ? D3DXVECTOR3(v->x / length, v->y / length, v->z / length) : D3DXVECTOR3(0, 0, 0);
    return out;
}

D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2, float s)
{
    *out = D3DXVECTOR3(v1->x + s * (v2->x - v1->x), v1->y + s * (v2->y - v1->y), v1->z + s * (v2->z - v1->z));
    return out;
}

namespace {

D3DXVECTOR4 rowTimesMatrix(float x, float y, float z, float w, const D3DXMATRIX& m)
{
    return {x * m._11 + y * m._21 + z * m._31 + w * m._41, x * m._12 + y * m._22 + z * m._32 + w * m._42,
            x * m._13 + y * m._23 + z * m._33 + w * m._43, x * m._14 + y * m._24 + z * m._34 + w * m._44};
}

} // namespace

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    *out = rowTimesMatrix(v->x, v->y, v->z, 1, *m);
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    const D3DXVECTOR4 r = rowTimesMatrix(v->x, v->y, v->z, 1, *m);
    *out = D3DXVECTOR3(r.x / r.w, r.y / r.w, r.z / r.w);
    return out;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    const D3DXVECTOR4 r = rowTimesMatrix(v->x, v->y, v->z, 0, *m);
    *out = D3DXVECTOR3(r.x, r.y, r.z);
    return out;
}

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m)
{
    *out = rowTimesMatrix(v->x, v->y, v->z, v->w, *m);
    return out;
}

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p)
{
    const float length = std::sqrt(p->a * p->a + p->b * p->b + p->c * p->c);
    if (length > 0) {
        *out = D3DXPLANE(p->a / length, p->b / length, p->c / length, p->d / length);
    } else {
        *out = D3DXPLANE(0, 0, 0, 0);
    }
    return out;
}

float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v)
{
    return p->a * v->x + p->b * v->y + p->c * v->z + p->d;
}

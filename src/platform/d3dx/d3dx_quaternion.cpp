// Quaternion helpers: product, normalisation and spherical interpolation.

#include "platform/d3dx/d3dx_quaternion.h"

#include <cmath>

D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* out)
{
    *out = D3DXQUATERNION(0, 0, 0, 1);
    return out;
}

float D3DXQuaternionDot(const D3DXQUATERNION* q1, const D3DXQUATERNION* q2)
{
    return q1->x * q2->x + q1->y * q2->y + q1->z * q2->z + q1->w * q2->w;
}

float D3DXQuaternionLength(const D3DXQUATERNION* q)
{
    return std::sqrt(D3DXQuaternionDot(q, q));
}

D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q)
{
    const float length = D3DXQuaternionLength(q);
    *out = length > 0 ? D3DXQUATERNION(q->x / length, q->y / length, q->z / length, q->w / length)
                      : D3DXQUATERNION(0, 0, 0, 0);
    return out;
}

D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2)
{
    const D3DXQUATERNION a = *q2, b = *q1; // out may alias either input
    *out = D3DXQUATERNION(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                          a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                          a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
                          a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
    return out;
}

D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle)
{
    const float length = std::sqrt(axis->x * axis->x + axis->y * axis->y + axis->z * axis->z);
    const float s = length > 0 ? std::sin(angle / 2) / length : 0;
    *out = D3DXQUATERNION(axis->x * s, axis->y * s, axis->z * s, std::cos(angle / 2));
    return out;
}

D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2,
                                    float t)
{
    float cosine = D3DXQuaternionDot(q1, q2);
    float sign = 1;
    if (cosine < 0) { // the other hemisphere: interpolate towards −q2, the same rotation
        cosine = -cosine;
        sign = -1;
    }
    float fromWeight = 1 - t;
    float toWeight = t;
    if (1 - cosine > 0.001f) { // far enough apart for the sine ratio to be well conditioned
        const float theta = std::acos(cosine);
        const float sinTheta = std::sin(theta);
        fromWeight = std::sin(theta * (1 - t)) / sinTheta;
        toWeight = std::sin(theta * t) / sinTheta;
    }
    toWeight *= sign;
    *out = D3DXQUATERNION(fromWeight * q1->x + toWeight * q2->x, fromWeight * q1->y + toWeight * q2->y,
                          fromWeight * q1->z + toWeight * q2->z, fromWeight * q1->w + toWeight * q2->w);
    return out;
}

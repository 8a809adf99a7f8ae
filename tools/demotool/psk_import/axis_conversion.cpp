#include "axis_conversion.h"

#include <cmath>

SourceTrs decomposeSource(const aiMatrix4x4& matrix)
{
    SourceTrs trs;
    matrix.Decompose(trs.scale, trs.rotation, trs.position);
    trs.rotation.Normalize();
    return trs;
}

aiMatrix4x4 composeSource(const SourceTrs& trs)
{
    return aiMatrix4x4(trs.scale, trs.rotation, trs.position);
}

PskTransform toPskTransform(const SourceTrs& trs, float scale)
{
    PskTransform out;
    out.position = toPskPoint(trs.position, scale);
    // Mirroring a rotation moves its axis through the mirror and reverses its sense.
    // (Adding zero keeps a negated zero out of the file.)
    out.rotation = {0.0f - trs.rotation.x, 0.0f - trs.rotation.z, 0.0f - trs.rotation.y, trs.rotation.w};
    out.scale = {trs.scale.x, trs.scale.z, trs.scale.y};
    return out;
}

PskVec3 toPskPoint(const aiVector3D& point, float scale)
{
    return {point.x * scale, point.z * scale, point.y * scale};
}

PskVec3 toPskDirection(const aiVector3D& direction)
{
    const float length = direction.Length();
    if (!(length > 0.0f))
        return {0.0f, 0.0f, 0.0f};
    return {direction.x / length, direction.z / length, direction.y / length};
}

PskVec2 toPskTexCoord(const aiVector3D& uv)
{
    return {uv.x, 1.0f - uv.y};
}

PskQuat pskLightRotationFor(const PskVec3& direction)
{
    // The player's light direction is −(R⁻¹ ŷ) for its world rotation R, so R must carry
    // −direction onto ŷ: the shortest arc between the two.
    const float ax = -direction[0], ay = -direction[1], az = -direction[2];
    const float dot = ay; // a · ŷ
    if (dot < -0.999999f)
        return {1.0f, 0.0f, 0.0f, 0.0f}; // half a turn about X
    // axis = a × ŷ = (-az, 0, ax)
    float x = -az, y = 0.0f, z = ax, w = 1.0f + dot;
    const float length = std::sqrt(x * x + y * y + z * z + w * w);
    if (!(length > 0.0f))
        return {0.0f, 0.0f, 0.0f, 1.0f};
    x /= length;
    z /= length;
    w /= length;
    return {x, y, z, w};
}

#include "camera_light_conversion.h"

#include "material_conversion.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPlayerAspect = 1.33333f;
// Far enough to be no limit; D3D9 takes ranges up to the square root of the largest float.
constexpr float kUnlimitedRange = 1.0e15f;
constexpr float kDegreesPerRadian = 57.29577951308232f;

} // namespace

CameraLens convertCameraLens(const aiCamera& camera, bool gltf, float scale)
{
    CameraLens lens;
    const float aspect = camera.mAspect > 0.0f ? camera.mAspect : kPlayerAspect;
    if (gltf)
        lens.fieldOfView = camera.mAspect > 0.0f ? camera.mHorizontalFOV / camera.mAspect : camera.mHorizontalFOV;
    else
        lens.fieldOfView = 2.0f * std::atan(std::tan(camera.mHorizontalFOV * 0.5f) / aspect);
    if (!(lens.fieldOfView > 0.0f) || !(lens.fieldOfView < 3.14f))
        lens.fieldOfView = 0.785398f;
    lens.nearDistance = camera.mClipPlaneNear * scale;
    lens.farDistance = camera.mClipPlaneFar * scale;
    if (!(lens.nearDistance > 0.0f))
        lens.nearDistance = 0.01f * scale;
    if (!(lens.farDistance > lens.nearDistance))
        lens.farDistance = lens.nearDistance * 100000.0f;
    return lens;
}

aiMatrix4x4 cameraFrame(const aiCamera& camera, SourceKind kind)
{
    if (kind == SourceKind::Gltf)
        return aiMatrix4x4();
    aiVector3D forward = camera.mLookAt;
    aiVector3D up = kind == SourceKind::ThreeDs ? aiVector3D(0.0f, 0.0f, 1.0f) : camera.mUp;
    if (forward.SquareLength() == 0.0f)
        forward = aiVector3D(0.0f, 0.0f, -1.0f);
    forward.Normalize();
    aiVector3D right = forward ^ up;
    if (right.SquareLength() < 1e-12f)
        right = forward ^ (std::fabs(forward.z) < 0.9f ? aiVector3D(0.0f, 0.0f, 1.0f) : aiVector3D(0.0f, 1.0f, 0.0f));
    right.Normalize();
    up = right ^ forward;
    const aiVector3D& p = camera.mPosition;
    return aiMatrix4x4(right.x, up.x, -forward.x, p.x, right.y, up.y, -forward.y, p.y, right.z, up.z, -forward.z, p.z,
                       0.0f, 0.0f, 0.0f, 1.0f);
}

std::optional<PskLight> convertLight(const aiLight& light, bool gltf, float scale)
{
    PskLight out;
    switch (light.mType) {
    case aiLightSource_POINT: out.lightType = 1; break;
    case aiLightSource_SPOT: out.lightType = 2; break;
    case aiLightSource_DIRECTIONAL: out.lightType = 3; break;
    default: return std::nullopt;
    }
    const aiColor3D& colour = light.mColorDiffuse;
    out.intensity = std::max({colour.r, colour.g, colour.b, 0.0f});
    if (out.intensity > 0.0f)
        out.colour = pskColour(colour.r / out.intensity, colour.g / out.intensity, colour.b / out.intensity, 1.0f);
    else
        out.colour = pskColour(0.0f, 0.0f, 0.0f, 1.0f);
    // Distances grow by the scale, so the factors shrink to keep the same light on everything.
    out.attenuation = {light.mAttenuationConstant, light.mAttenuationLinear / scale,
                       light.mAttenuationQuadratic / (scale * scale)};
    if (!(out.attenuation[0] > 0.0f) && !(out.attenuation[1] > 0.0f) && !(out.attenuation[2] > 0.0f))
        out.attenuation = {1.0f, 0.0f, 0.0f};
    out.range = kUnlimitedRange;
    if (out.lightType == 2) {
        // glTF's cone angles are measured from the axis, the player's across the cone.
        const float factor = gltf ? 2.0f : 1.0f;
        out.innerCone = std::clamp(light.mAngleInnerCone * factor * kDegreesPerRadian, 0.0f, 180.0f);
        out.outerCone = std::clamp(light.mAngleOuterCone * factor * kDegreesPerRadian, out.innerCone, 180.0f);
    }
    out.shadowColour = pskColour(0.0f, 0.0f, 0.0f, 1.0f);
    return out;
}

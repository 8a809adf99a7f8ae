// Cameras and lights in the player's terms: a camera's vertical field of view in radians and
// its clip planes; a light's device type, colour and intensity (the source's colour carries
// the intensity), attenuation and full cone angles in degrees. Lengths take the import scale.
#pragma once

#include "import_notes.h"
#include "psk/psk_records.h"

#include <assimp/camera.h>
#include <assimp/light.h>

#include <optional>

struct CameraLens {
    float fieldOfView = 0.0f; // vertical, radians
    float nearDistance = 0.0f;
    float farDistance = 0.0f;
};

// Assimp's glTF reader stores the vertical angle times the aspect ratio as the horizontal
// angle; every other reader the full horizontal angle.
CameraLens convertCameraLens(const aiCamera& camera, bool gltf, float scale);

enum class SourceKind { Gltf, ThreeDs, Other };

// The camera's own frame inside its node (Assimp's position, look-at and up); identity for
// glTF, whose cameras are their nodes. 3DS cameras are upright in their Z-up world (Assimp
// leaves their up at its default Y, which would roll them a quarter turn).
aiMatrix4x4 cameraFrame(const aiCamera& camera, SourceKind kind);

// The light's fields apart from its node record; none for kinds PSK has no light for.
std::optional<PskLight> convertLight(const aiLight& light, bool gltf, float scale);

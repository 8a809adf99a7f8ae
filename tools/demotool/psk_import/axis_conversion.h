// From the source's axes (Assimp's: right-handed, Y up, cameras looking down −Z, texture
// rows from the bottom) to the player's (left-handed, Z up, texture rows from the top).
// Swapping Y and Z is the one mirror that does both: it flips the handedness, puts Y-up on
// Z-up, and maps a source camera looking down −Z with Y up onto exactly what the player's
// camera sees after its own quarter turn about X, so cameras need no turn of their own.
// Every length is multiplied by the import scale. A mirror reverses triangle winding, which
// the mesh conversion undoes by swapping two corners.
#pragma once

#include "psk/psk_records.h"

#include <assimp/types.h> // the maths types with their inline definitions

struct SourceTrs {
    aiVector3D position{0.0f, 0.0f, 0.0f};
    aiQuaternion rotation{1.0f, 0.0f, 0.0f, 0.0f}; // w, x, y, z
    aiVector3D scale{1.0f, 1.0f, 1.0f};
};

SourceTrs decomposeSource(const aiMatrix4x4& matrix);
aiMatrix4x4 composeSource(const SourceTrs& trs);

PskTransform toPskTransform(const SourceTrs& trs, float scale);
PskVec3 toPskPoint(const aiVector3D& point, float scale);
PskVec3 toPskDirection(const aiVector3D& direction); // normalised
PskVec2 toPskTexCoord(const aiVector3D& uv);

// A rotation (PSK quaternion) under which the player's light, which shines along the negated
// second column of its world matrix, shines along `direction` (in the player's axes).
PskQuat pskLightRotationFor(const PskVec3& direction);

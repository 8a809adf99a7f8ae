// Quaternion helpers of the Direct3D helper library, by their published definitions.
// Quaternions are (x, y, z, w) with w the scalar part; rotations are unit quaternions.
#pragma once

#include "platform/d3dx/d3dx_types.h"

D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* out);
float D3DXQuaternionDot(const D3DXQUATERNION* q1, const D3DXQUATERNION* q2);
float D3DXQuaternionLength(const D3DXQUATERNION* q);
// A zero quaternion stays zero.
D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q);
// The rotation q1 followed by q2, which is the Hamilton product q2 · q1.
D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2);
// Rotation by angle radians about an axis (normalised here), matching D3DXMatrixRotationAxis.
D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle);
// Spherical linear interpolation along the shorter arc: t = 0 gives q1, t = 1 gives q2 (or −q2
// when q1 and q2 lie in opposite hemispheres); nearly equal inputs are blended linearly.
D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2,
                                    float t);

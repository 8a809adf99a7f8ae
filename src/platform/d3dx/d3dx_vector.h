// Vector and plane helpers of the Direct3D helper library, by their published definitions
// (row vectors: v × M). Normalising a zero vector or a plane with a zero normal gives zeros
// rather than NaNs.
#pragma once

#include "platform/d3dx/d3dx_types.h"

float D3DXVec3Dot(const D3DXVECTOR3* v1, const D3DXVECTOR3* v2);
// Left-handed naming, ordinary formula: x = y1·z2 − z1·y2, y = z1·x2 − x1·z2, z = x1·y2 − y1·x2.
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2);
float D3DXVec3Length(const D3DXVECTOR3* v);
float D3DXVec3LengthSq(const D3DXVECTOR3* v);
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);
// v1 + (v2 − v1) · s
D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2, float s);
// (x, y, z, 1) × M, all four components kept.
D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// (x, y, z, 1) × M divided by the resulting w.
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// (x, y, z, 0) × M: a direction, untouched by the translation row.
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m);

// a, b, c and d all divided by the length of (a, b, c).
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p);
// a·x + b·y + c·z + d: the signed distance of a point from a normalised plane.
float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v);

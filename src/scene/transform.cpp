#include "scene/transform.h"

D3DXMATRIX localMatrix(const Transform& transform)
{
    D3DXMATRIX rotation;
    D3DXMatrixRotationQuaternion(&rotation, &transform.rotation);
    D3DXMATRIX scale;
    D3DXMatrixScaling(&scale, transform.scale.x, transform.scale.y, transform.scale.z);
    D3DXMATRIX local = scale * rotation;
    local._41 = transform.position.x;
    local._42 = transform.position.y;
    local._43 = transform.position.z;
    return local;
}

Transform blend(const Transform& a, const Transform& b, float weight)
{
    Transform out;
    out.position = a.position + (b.position - a.position) * weight;
    out.scale = a.scale + (b.scale - a.scale) * weight;
    D3DXQuaternionSlerp(&out.rotation, &a.rotation, &b.rotation, weight);
    return out;
}

#include "scene/group.h"

#include "platform/shell/shell.h"
#include "scene/camera.h"
#include "scene/mesh.h"
#include "scene/processor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

Group::Group(SceneGraph& scene, int id) : Base(scene, id)
{
    D3DXMatrixIdentity(&local_);
    D3DXMatrixIdentity(&world_);
}

bool Group::canAdopt(Group* child)
{
    std::size_t depth = 1;
    for (Group* node = this; node; node = node->parent(), ++depth) {
        if (node == child || depth >= kMaxDepth) return false;
    }
    return true;
}

void Group::link()
{
    Group* p = parent();
    if (!p) return;
    if (!p->canAdopt(this)) {
        setParentId(-1);
        return;
    }
    p->children_.push_back(this);
}

void Group::refresh(bool transformChanged)
{
    if (!transformChanged) return;
    static_assert(sizeof(Transform) == 10 * sizeof(float), "compared as bytes: no padding");
    if (!localKnown_ || std::memcmp(&localFrom_, &transform, sizeof(Transform)) != 0) {
        local_ = ::localMatrix(transform);
        localFrom_ = transform;
        localKnown_ = true;
    }
    Group* p = parent();
    world_ = p ? local_ * p->world_ : local_;

    radiusSquared_ = 0.0f;
    if (mesh) {
        const D3DXVECTOR3 edge(mesh->boundingRadius, 0, 0);
        D3DXVECTOR3 scaled;
        D3DXVec3TransformNormal(&scaled, &edge, &world_);
        radiusSquared_ = D3DXVec3LengthSq(&scaled);
    }
    const D3DXVECTOR3 here = centre();
    for (Group* child : children_) {
        child->refresh(true);
        const D3DXVECTOR3 offset = child->centre() - here;
        radiusSquared_ = std::max(radiusSquared_, child->radiusSquared_ + D3DXVec3LengthSq(&offset));
    }
}

float* Group::controlField(const std::string& name)
{
    if (name == "VISTRACK") return &visibility;
    failWithMessage("Error", "Group: Invalid control field!", 0);
}

void Group::collect(Processor& processor)
{
    const Camera* camera = scene().activeCamera();
    if (!camera || !camera->frustum.containsSphere(centre(), std::sqrt(radiusSquared_))) return;
    processor.submit(*this);
    for (Group* child : children_) child->collect(processor);
}

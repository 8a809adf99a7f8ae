#include "scene/camera.h"

#include "render/state_cache.h"
#include "scene/scene_graph.h"

#include <cmath>

Camera::Camera(SceneGraph& scene, int id) : Group(scene, id)
{
    D3DXMatrixIdentity(&view_);
    D3DXMatrixIdentity(&projection_);
}

Camera::~Camera() { scene().removeCamera(this); }

void Camera::link()
{
    Group::link();
    scene().addCamera(this);
    if (!scene().activeCamera()) scene().setActiveCamera(this);
}

void Camera::activate()
{
    active_ = true;
    refresh(false);
}

void Camera::refresh(bool transformChanged)
{
    Group::refresh(transformChanged);
    if (active_) update();
}

float* Camera::controlField(const std::string& fieldName)
{
    if (fieldName == "FOVTRACK") return &fieldOfView;
    if (fieldName == "NearClip") return &nearDistance;
    if (fieldName == "FarClip") return &farDistance;
    return Group::controlField(fieldName);
}

void Camera::update()
{
    const D3DXQUATERNION quarterTurn(static_cast<float>(std::sin(kOrientationHalfAngle)), 0.0f, 0.0f,
                                     static_cast<float>(std::cos(kOrientationHalfAngle)));
    Transform oriented = transform;
    D3DXQuaternionMultiply(&oriented.rotation, &quarterTurn, &transform.rotation);
    D3DXMATRIX placement = ::localMatrix(oriented);
    if (Group* p = parent()) placement = placement * p->worldMatrix();
    D3DXMatrixInverse(&view_, nullptr, &placement);

    StateCache& cache = stateCache();
    aspectRatio = cache.aspectRatio();
    D3DXMatrixPerspectiveFovLH(&projection_, fieldOfView, aspectRatio, nearDistance, farDistance);
    if (cache.combinedSceneFlag) {
        projection_._33 = 1.0f;
        projection_._43 = -1.0f;
    }

    cache.setRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    IDirect3DDevice9* device = cache.device();
    device->SetTransform(D3DTS_VIEW, &view_);
    device->SetTransform(D3DTS_PROJECTION, &projection_);
    frustum = Frustum::fromViewProjection(view_ * projection_);
}

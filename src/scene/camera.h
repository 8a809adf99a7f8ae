// A camera node: it joins the scene's cameras when linked (the first linked becomes active)
// and, while active, sets the view and projection on every refresh and keeps the frustum the
// traversal culls against. A quarter turn about X precedes the node's rotation: it maps the
// scene files' camera axes onto the device's.
#pragma once

#include "platform/d3dx/d3dx_math.h"
#include "scene/frustum.h"
#include "scene/group.h"

class Camera : public Group {
public:
    // The quarter turn about X, as the single-precision 0.7853975 widened.
    static constexpr double kOrientationHalfAngle = 0.7853975296020508;

    Camera(SceneGraph& scene, int id);
    ~Camera() override;

    void link() override;
    // The node refresh, then, while active, view, projection, depth test and frustum.
    void refresh(bool transformChanged) override;
    // "FOVTRACK", "NearClip", "FarClip", then the Group's names.
    float* controlField(const std::string& name) override;
    // Sets the active flag and refreshes without moving the node.
    void activate();
    void deactivate() { active_ = false; }
    bool isActive() const { return active_; }

    const D3DXMATRIX& view() const { return view_; }
    const D3DXMATRIX& projection() const { return projection_; }

    Frustum frustum;
    // Vertical, in radians.
    float fieldOfView = 0.7853982f;
    // Replaced by the state cache's at every update.
    float aspectRatio = 4.0f / 3.0f;
    float nearDistance = 1.0f;
    float farDistance = 1000.0f;

private:
    void update();

    bool active_ = false;
    D3DXMATRIX view_;
    D3DXMATRIX projection_;
};

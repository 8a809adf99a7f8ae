// A camera node as far as the scene graph needs one: it joins the scene's cameras when linked
// (the first linked becomes active), carries the active flag and the frustum used for culling.
// View and projection are computed by the full camera, which builds on this one.
#pragma once

#include "scene/frustum.h"
#include "scene/group.h"

class Camera : public Group {
public:
    Camera(SceneGraph& scene, int id);
    ~Camera() override;

    void link() override;
    // Sets the active flag and refreshes without moving the node.
    void activate();
    void deactivate() { active_ = false; }
    bool isActive() const { return active_; }

    Frustum frustum;

private:
    bool active_ = false;
};

// A light node as far as the scene graph needs one: it joins the scene's lights when linked
// and leaves them when destroyed; setOnce sends it to the device the first time only.
// The device light itself is computed by the full light, which overrides updateDevice.
#pragma once

#include "scene/group.h"

class Light : public Group {
public:
    Light(SceneGraph& scene, int id);
    ~Light() override;

    void link() override;
    void setOnce();

protected:
    virtual void updateDevice() {}

    // Lights start set: they reach the device through refresh.
    bool set_ = true;
};

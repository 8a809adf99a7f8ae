// A node's mesh as far as the scene graph needs one: its bounding radius (the vertex buffer's
// radius) for the node's bounds. Meshes have no control fields.
#pragma once

#include "scene/base.h"
#include "scene/preparable.h"

class Mesh : public Base, public Preparable {
public:
    using Base::Base;

    void refresh(bool) override {}
    // Every name ends the program with its message.
    float* controlField(const std::string& name) override;

    float boundingRadius = 0.0f;
};

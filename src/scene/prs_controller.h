// Drives a node's whole Transform from evenly spaced samples: position and scale blend
// linearly, rotation by slerp; the node and its subtree are then refreshed.
#pragma once

#include "scene/controller.h"
#include "scene/sample_timing.h"
#include "scene/transform.h"

#include <vector>

class Group;

class PRSController : public Controller {
public:
    // A null target, or no samples, leaves the controller without effect.
    explicit PRSController(Group* target) : target_(target) {}
    void evaluate(float time) override;

    std::vector<Transform> samples;
    SampleTiming timing;

private:
    Group* target_;
};

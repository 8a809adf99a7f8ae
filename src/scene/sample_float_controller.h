// Drives one control field from evenly spaced float samples, blended linearly; the target is
// then refreshed without recomputing matrices.
#pragma once

#include "scene/controller.h"
#include "scene/sample_timing.h"

#include <string>
#include <vector>

class Preparable;

class SampleFloatController : public Controller {
public:
    // Binds the field now (an unknown name reports as the target's class does). With no
    // target, no field or no samples the controller writes nothing.
    SampleFloatController(Preparable* target, const std::string& fieldName);
    void evaluate(float time) override;
    bool bound() const { return field_ != nullptr; }

    std::vector<float> samples;
    SampleTiming timing;

private:
    Preparable* target_;
    float* field_;
};

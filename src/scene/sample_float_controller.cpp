#include "scene/sample_float_controller.h"

#include "scene/preparable.h"

SampleFloatController::SampleFloatController(Preparable* target, const std::string& fieldName)
    : target_(target), field_(target ? target->controlField(fieldName) : nullptr)
{
}

void SampleFloatController::evaluate(float time)
{
    if (!field_ || samples.empty()) return;
    const SamplePick pick = pickSample(time, timing, samples.size());
    const float w = pick.weight;
    *field_ = pick.blended() ? (1.0f - w) * samples[pick.a] + w * samples[pick.b] : samples[pick.a];
    target_->refresh(false);
}

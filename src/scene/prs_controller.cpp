#include "scene/prs_controller.h"

#include "scene/group.h"

void PRSController::evaluate(float time)
{
    if (!target_ || samples.empty()) return;
    const SamplePick pick = pickSample(time, timing, samples.size());
    target_->transform = pick.blended() ? blend(samples[pick.a], samples[pick.b], pick.weight) : samples[pick.a];
    target_->refresh(true);
}

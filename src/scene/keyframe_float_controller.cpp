#include "scene/keyframe_float_controller.h"

#include "platform/shell/shell.h"
#include "scene/preparable.h"

#include <cmath>

KeyframeFloatController::KeyframeFloatController(Preparable* target, const std::string& fieldName, bool looping)
    : looping_(looping), target_(target), field_(target ? target->controlField(fieldName) : nullptr)
{
}

void KeyframeFloatController::addKey(float time, float value)
{
    keys_.push_back({time, value});
    if (time < firstKeyTime_) firstKeyTime_ = time;
    if (time > lastKeyTime_) lastKeyTime_ = time;
}

void KeyframeFloatController::write(float value)
{
    *field_ = value;
    target_->refresh(false);
}

void KeyframeFloatController::evaluate(float time)
{
    if (!field_ || keys_.empty() || std::isnan(time)) return;
    if (time <= firstKeyTime_) {
        write(keys_.front().value);
        return;
    }
    if (time >= lastKeyTime_) {
        const float length = lastKeyTime_ - firstKeyTime_;
        if (!looping_ || !(length > 0.0f) || !std::isfinite(time)) {
            write(keys_.back().value);
            return;
        }
        const float since = time - firstKeyTime_;
        time = firstKeyTime_ + (since - std::trunc(since / length) * length);
    }
    std::size_t later = 0;
    while (later < keys_.size() && !(keys_[later].time > time)) ++later;
    if (later == keys_.size()) failWithMessage("Error", "Mit\xE4hittoo", 0);
    if (later == 0) {
        write(keys_.front().value);
        return;
    }
    const Key& p = keys_[later - 1];
    const Key& k = keys_[later];
    const float w = (time - p.time) / (k.time - p.time);
    write((1.0f - w) * p.value + w * k.value);
}

#include "scene/camera_activator_controller.h"

#include "scene/camera.h"
#include "scene/scene_graph.h"

#include <algorithm>

void CameraActivatorController::finish()
{
    std::sort(times_.begin(), times_.end());
    next_ = times_.empty() ? kNone : times_.front();
    offset_ = 0;
}

void CameraActivatorController::evaluate(float time)
{
    if (!camera_) return;
    if (time > static_cast<float>(loopLength) && !looping_) return;
    if (next_ == kNone || !(time > static_cast<float>(next_))) return;
    camera_->scene().setActiveCamera(camera_);
    advance();
}

void CameraActivatorController::advance()
{
    const std::uint32_t current = next_;
    for (std::uint32_t t : times_) {
        const std::uint32_t candidate = t + offset_;
        if (candidate > current) {
            next_ = candidate;
            return;
        }
    }
    next_ = kNone;
    if (looping_ && loopLength > 0) {
        offset_ += loopLength;
        next_ = offset_ + times_.front();
    }
}

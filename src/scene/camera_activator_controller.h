// Switches the scene to one camera at given times: at most one activation per frame (a frame
// that passes two times activates once, the next frame the second time); when looping the
// schedule repeats every loop length without the time ever being reduced.
#pragma once

#include "scene/controller.h"

#include <cstdint>
#include <vector>

class Camera;

class CameraActivatorController : public Controller {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    CameraActivatorController(Camera* camera, bool looping) : camera_(camera), looping_(looping) {}
    void addTime(std::uint32_t time) { times_.push_back(time); }
    // Sorts the times and schedules the first; call once all times are in.
    void finish();
    void evaluate(float time) override;

    std::uint32_t nextActivation() const { return next_; }
    std::uint32_t cycleOffset() const { return offset_; }

    // A loop length of 0 does not repeat the schedule.
    std::uint32_t loopLength = 0;

private:
    void advance();

    std::vector<std::uint32_t> times_;
    Camera* camera_;
    std::uint32_t next_ = kNone;
    std::uint32_t offset_ = 0;
    bool looping_;
};

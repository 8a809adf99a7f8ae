// Holds the script for a duration measured from its own first run. The first call only
// records the start, so even `wait 0` holds the list for at least one frame.
#pragma once

#include "script/script_item.h"

class Wait : public ScriptItem {
public:
    Wait(Scripter& scripter, float duration)
        : ScriptItem(scripter), duration(duration) {}
    bool execute(float scriptTimeMs) override;

    const float duration;

private:
    bool started_ = false;
    float startTime_ = -1.0f;
};

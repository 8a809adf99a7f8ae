// Moves the script clock so that it reads the given time now; the scene and Flash
// clocks are reset to the same origin.
#pragma once

#include "script/script_item.h"

class SetTime : public ScriptItem {
public:
    SetTime(Scripter& scripter, float time)
        : ScriptItem(scripter), time(time) {}
    bool execute(float scriptTimeMs) override;

    const float time;
};

// Holds the script until script time has passed a point; a point already passed lets
// the following commands run in the same frame.
#pragma once

#include "script/script_item.h"

class WaitUntil : public ScriptItem {
public:
    WaitUntil(Scripter& scripter, float time)
        : ScriptItem(scripter), time(time) {}
    bool execute(float scriptTimeMs) override;

    const float time;
};

// Moves only the scene clock so that it reads the given time now; the script clock
// and the commands' timing are untouched.
#pragma once

#include "script/script_item.h"

class SetSceneTime : public ScriptItem {
public:
    SetSceneTime(Scripter& scripter, float time)
        : ScriptItem(scripter), time(time) {}
    bool execute(float scriptTimeMs) override;

    const float time;
};

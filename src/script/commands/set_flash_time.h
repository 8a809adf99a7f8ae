// Moves the Flash clock so that it reads the given time now. Nothing draws by it yet;
// the origin is kept for the Flash player.
#pragma once

#include "script/script_item.h"

class SetFlashTime : public ScriptItem {
public:
    SetFlashTime(Scripter& scripter, float time)
        : ScriptItem(scripter), time(time) {}
    bool execute(float scriptTimeMs) override;

    const float time;
};

// Stops drawing the current scene; it stays loaded in its slot.
#pragma once

#include "script/script_item.h"

class StopScene : public ScriptItem {
public:
    explicit StopScene(Scripter& scripter)
        : ScriptItem(scripter) {}
    bool execute(float scriptTimeMs) override;
};

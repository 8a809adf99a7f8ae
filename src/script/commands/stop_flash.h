// Clears the current Flash movie; it stays loaded in its slot.
#pragma once

#include "script/script_item.h"

class StopFlash : public ScriptItem {
public:
    explicit StopFlash(Scripter& scripter)
        : ScriptItem(scripter) {}
    bool execute(float scriptTimeMs) override;
};

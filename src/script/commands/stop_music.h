// Stops the current music and forgets it; the stream stays open in its slot.
#pragma once

#include "script/script_item.h"

class StopMusic : public ScriptItem {
public:
    explicit StopMusic(Scripter& scripter)
        : ScriptItem(scripter) {}
    bool execute(float scriptTimeMs) override;
};

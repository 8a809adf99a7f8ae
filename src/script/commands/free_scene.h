// Destroys the scene in a slot, un-playing it first if it is the current one; an empty
// slot is not an error.
#pragma once

#include "script/script_item.h"

#include <string>

class FreeScene : public ScriptItem {
public:
    FreeScene(Scripter& scripter, const std::string& slot)
        : ScriptItem(scripter), slot(slot) {}
    bool execute(float scriptTimeMs) override;

    const std::string slot;
};

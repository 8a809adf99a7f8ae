// Destroys the Flash movie in a slot, clearing it as the current one first; an empty
// slot is not an error.
#pragma once

#include "script/script_item.h"

#include <string>

class FreeFlash : public ScriptItem {
public:
    FreeFlash(Scripter& scripter, const std::string& slot)
        : ScriptItem(scripter), slot(slot) {}
    bool execute(float scriptTimeMs) override;

    const std::string slot;
};

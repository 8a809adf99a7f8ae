// Closes the stream in a music slot, stopping it first if it is the current music; an
// empty slot is not an error.
#pragma once

#include "script/script_item.h"

#include <string>

class FreeMusic : public ScriptItem {
public:
    FreeMusic(Scripter& scripter, const std::string& slot)
        : ScriptItem(scripter), slot(slot) {}
    bool execute(float scriptTimeMs) override;

    const std::string slot;
};

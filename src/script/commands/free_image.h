// Destroys the image in a slot together with every layer that shows it; an empty slot
// is not an error.
#pragma once

#include "script/script_item.h"

#include <string>

class FreeImage : public ScriptItem {
public:
    FreeImage(Scripter& scripter, const std::string& slot)
        : ScriptItem(scripter), slot(slot) {}
    bool execute(float scriptTimeMs) override;

    const std::string slot;
};

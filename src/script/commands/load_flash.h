// Loads a Flash movie into a Flash slot, replacing (and first un-playing) whatever the
// slot held.
#pragma once

#include "script/script_item.h"

#include <string>

class LoadFlash : public ScriptItem {
public:
    LoadFlash(Scripter& scripter, const std::string& file, const std::string& slot)
        : ScriptItem(scripter), file(file), slot(slot) {}
    bool execute(float scriptTimeMs) override;

    const std::string file;
    const std::string slot;
};

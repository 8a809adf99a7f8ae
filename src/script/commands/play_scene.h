// Makes a loaded scene the one drawn each frame and prepares it (once). The scene clock
// is left alone; an empty slot ends the process.
#pragma once

#include "script/script_item.h"

#include <string>

class PlayScene : public ScriptItem {
public:
    PlayScene(Scripter& scripter, const std::string& slot)
        : ScriptItem(scripter), slot(slot) {}
    bool execute(float scriptTimeMs) override;

    const std::string slot;
};

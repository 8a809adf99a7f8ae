// Loads a scene file into a scene slot, replacing (and first un-playing) whatever the
// slot held. A scene file that cannot be read ends the process.
#pragma once

#include "script/script_item.h"

#include <string>

class LoadScene : public ScriptItem {
public:
    LoadScene(Scripter& scripter, const std::string& file, const std::string& slot)
        : ScriptItem(scripter), file(file), slot(slot) {}
    bool execute(float scriptTimeMs) override;

    const std::string file;
    const std::string slot;
};

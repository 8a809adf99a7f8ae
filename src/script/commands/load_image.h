// Loads a picture or picture sequence into an image slot. The old image's layers go
// with it, so a reloaded slot must be put on a layer again.
#pragma once

#include "script/script_item.h"

#include <string>

class LoadImage : public ScriptItem {
public:
    LoadImage(Scripter& scripter, const std::string& file, const std::string& slot)
        : ScriptItem(scripter), file(file), slot(slot) {}
    bool execute(float scriptTimeMs) override;

    const std::string file;
    const std::string slot;
};

// Opens a music stream in a music slot; a stream already there is stopped if it is the
// current music and closed before the new one opens. A stream that cannot open ends the process.
#pragma once

#include "script/script_item.h"

#include <string>

class LoadMusic : public ScriptItem {
public:
    LoadMusic(Scripter& scripter, const std::string& file, const std::string& slot)
        : ScriptItem(scripter), file(file), slot(slot) {}
    bool execute(float scriptTimeMs) override;

    const std::string file;
    const std::string slot;
};

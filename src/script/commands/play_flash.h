// Makes a loaded Flash movie the current one and sets its quality and background mode;
// an empty slot ends the process.
#pragma once

#include "script/script_item.h"

#include <cstdint>
#include <string>

class PlayFlash : public ScriptItem {
public:
    PlayFlash(Scripter& scripter, const std::string& slot, std::int32_t quality, std::int32_t backgroundMode)
        : ScriptItem(scripter), slot(slot), quality(quality), backgroundMode(backgroundMode) {}
    bool execute(float scriptTimeMs) override;

    const std::string slot;
    const std::int32_t quality;
    const std::int32_t backgroundMode;
};

// Stops the current music and plays a slot's stream from a start position. Playing the
// stream that is already current therefore restarts it; an empty slot ends the process.
#pragma once

#include "script/script_item.h"

#include <cstdint>
#include <string>

class PlayMusic : public ScriptItem {
public:
    PlayMusic(Scripter& scripter, const std::string& slot, std::int32_t startMs)
        : ScriptItem(scripter), slot(slot), startMs(startMs) {}
    bool execute(float scriptTimeMs) override;

    const std::string slot;
    const std::int32_t startMs;
};

// Removes every layer; the images stay loaded.
#pragma once

#include "script/script_item.h"

class ClearLayers : public ScriptItem {
public:
    explicit ClearLayers(Scripter& scripter)
        : ScriptItem(scripter) {}
    bool execute(float scriptTimeMs) override;
};

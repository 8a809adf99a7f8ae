// The set layer pos command.
#include "script/commands/set_layer_pos.h"

#include "script/scripter.h"

bool SetLayerPos::execute(float) {
    if (Layer* target = scripter_.layers().find(layer)) {
        target->baseX = target->x = x;
        target->baseY = target->y = y;
    }
    return true;
}

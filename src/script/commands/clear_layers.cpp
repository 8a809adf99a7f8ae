// The clear layers command.
#include "script/commands/clear_layers.h"

#include "script/scripter.h"

bool ClearLayers::execute(float) {
    scripter_.layers().clear();
    return true;
}

// The remove layer command.
#include "script/commands/remove_layer.h"

#include "script/scripter.h"

bool RemoveLayer::execute(float) {
    scripter_.layers().remove(layer);
    return true;
}

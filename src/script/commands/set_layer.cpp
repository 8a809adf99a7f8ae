// The set layer command.
#include "script/commands/set_layer.h"

#include "script/scripter.h"

bool SetLayer::execute(float) {
    if (ImageBlitter* image = scripter_.findImage(slot)) {
        scripter_.layers().set(layer, image);
    } else {
        scripter_.layers().remove(layer);
    }
    return true;
}

// The free image command.
#include "script/commands/free_image.h"

#include "script/scripter.h"

bool FreeImage::execute(float) {
    scripter_.removeImage(slot);
    return true;
}

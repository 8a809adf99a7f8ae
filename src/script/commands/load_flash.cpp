// The load flash command.
#include "script/commands/load_flash.h"

#include "content2d/flash_player.h"
#include "script/scripter.h"

#include <memory>

bool LoadFlash::execute(float) {
    scripter_.removeFlash(slot);
    scripter_.putFlash(slot, std::make_unique<FlashPlayer>(scripter_.device(), scripter_.screenWidth(),
                                                           scripter_.screenHeight(), file));
    return true;
}

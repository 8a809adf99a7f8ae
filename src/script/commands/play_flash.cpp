// The play flash command.
#include "script/commands/play_flash.h"

#include "content2d/flash_player.h"
#include "platform/shell/shell.h"
#include "script/scripter.h"

bool PlayFlash::execute(float) {
    FlashPlayer* player = scripter_.findFlash(slot);
    if (!player) {
        failWithMessage("PlayFlash error", "The Flash slot '" + slot + "' is empty: PlayFlash failed!", 0);
    }
    scripter_.setCurrentFlash(player);
    player->setQuality(quality);
    player->setBackgroundMode(backgroundMode);
    return true;
}

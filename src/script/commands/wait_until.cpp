// The wait until command.
#include "script/commands/wait_until.h"

#include "script/scripter.h"

bool WaitUntil::execute(float scriptTimeMs) {
    return scriptTimeMs > time;
}

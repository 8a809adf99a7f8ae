// The wait command.
#include "script/commands/wait.h"

#include "script/scripter.h"

bool Wait::execute(float scriptTimeMs) {
    if (!started_) {
        started_ = true;
        startTime_ = scriptTimeMs;
    }
    return scriptTimeMs > startTime_ + duration;
}

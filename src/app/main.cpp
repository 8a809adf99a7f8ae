// The player's entry point; the command line is ignored: the content decides everything.
#include "app/player.h"

int main()
{
    return runPlayer();
}

// Includes a layer above its own and a platform header: both must be reported.
#include "script/parser.h"
#include <SDL.h>

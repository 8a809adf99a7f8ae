#include "platform/flash/flash_hosting.h"

namespace {
int hostingStarts = 0;
} // namespace

bool startFlashHosting()
{
    ++hostingStarts;
    return true;
}

void endFlashHosting()
{
    if (hostingStarts > 0) --hostingStarts;
}

bool flashHostingStarted()
{
    return hostingStarts > 0;
}

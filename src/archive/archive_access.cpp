// Set once at start-up and cleared at shutdown; readers only ever look.
#include "archive/archive_access.h"

namespace {
ResourceArchive* currentArchive = nullptr;
}

ResourceArchive* theArchive()
{
    return currentArchive;
}

void setTheArchive(ResourceArchive* archive)
{
    currentArchive = archive;
}

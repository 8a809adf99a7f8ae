#include "app/container_startup.h"

#include "app/app_context.h"
#include "archive/archive_access.h"
#include "archive/player_container.h"
#include "archive/resource_archive.h"

void openDemoArchive(const std::string& executablePath)
{
    appContext.archive = std::make_unique<ResourceArchive>();
    // Whether either attempt found a container does not matter: loose files still work.
    openPlayerContainer(*appContext.archive, executablePath);
    setTheArchive(appContext.archive.get());
}

#include "app/container_startup.h"

#include "app/app_context.h"
#include "archive/archive_access.h"
#include "archive/resource_archive.h"

std::string containerPathBeside(const std::string& executablePath)
{
    const std::size_t slash = executablePath.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = executablePath.find_last_of('.');
    const bool threeLetterExtension = dot != std::string::npos && dot > nameStart && executablePath.size() - dot == 4;
    if (threeLetterExtension) return executablePath.substr(0, executablePath.size() - 3) + "cfl";
    return executablePath + ".cfl";
}

void openDemoArchive(const std::string& executablePath)
{
    appContext.archive = std::make_unique<ResourceArchive>();
    if (!appContext.archive->open(executablePath)) appContext.archive->open(containerPathBeside(executablePath));
    setTheArchive(appContext.archive.get());
}

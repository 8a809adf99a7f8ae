// Only the file name part is looked at for the extension, so a dot in a folder name does not
// count.
#include "archive/player_container.h"

#include "archive/resource_archive.h"

std::string containerBesideExecutable(const std::string& executablePath)
{
    const std::size_t nameStart = executablePath.find_last_of("/\\") + 1; // npos + 1 == 0
    const std::size_t dot = executablePath.rfind('.');
    const bool threeLetterExtension = dot != std::string::npos && dot > nameStart &&
                                      executablePath.size() - dot == 4;
    if (threeLetterExtension)
        return executablePath.substr(0, executablePath.size() - 3) + "cfl";
    return executablePath + ".cfl";
}

bool openPlayerContainer(ResourceArchive& archive, const std::string& executablePath)
{
    return archive.open(executablePath) || archive.open(containerBesideExecutable(executablePath));
}

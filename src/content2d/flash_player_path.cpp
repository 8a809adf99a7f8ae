#include "content2d/flash_player_path.h"

std::string flashMoviePath(const std::string& name, const std::string& currentDirectory)
{
    if (name.size() >= 2 && name[1] == ':') return name;
    // On this platform a name from the root is already absolute: putting the current
    // directory before it would name a file that does not exist.
    if (!name.empty() && name[0] == '/') return name;
    std::string path = currentDirectory;
    if (path.empty() || (path.back() != '/' && path.back() != '\\')) path += '/';
    return path + name;
}

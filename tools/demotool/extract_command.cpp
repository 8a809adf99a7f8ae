// demotool extract: writes entries (all, or the named ones) as files below a folder. Every
// chosen name is checked before anything is written; a later record of a name wins, as when
// the player reads it.
#include "archive/container_reader.h"
#include "archive/resource_archive.h"
#include "commands.h"
#include "extraction_folder.h"
#include "tool_error.h"

#include <CLI/CLI.hpp>

#include <set>

namespace {

struct ExtractOptions {
    std::string archivePath;
    std::filesystem::path folder = ".";
    std::vector<std::string> names;
};

void runExtract(const ExtractOptions& options)
{
    const std::optional<ContainerDirectory> directory = readContainerDirectory(options.archivePath, 0);
    ResourceArchive archive;
    if (!directory || !archive.open(options.archivePath))
        throw ToolError(options.archivePath + ": not a container, or a damaged one");

    std::vector<std::string> chosen;
    if (options.names.empty()) {
        std::set<std::string> seen;
        for (const DirectoryRecord& record : directory->records) {
            if (seen.insert(record.name).second)
                chosen.push_back(record.name);
        }
    } else {
        for (const std::string& name : options.names) {
            if (!archive.contains(name))
                throw ToolError(options.archivePath + ": no entry named \"" + name + "\"");
        }
        chosen = options.names;
    }
    for (const std::string& name : chosen) {
        std::string reason;
        if (!entryPathParts(name, reason))
            throw ToolError("refusing entry \"" + name + "\": " + reason);
    }

    ExtractionFolder folder(options.folder);
    for (const std::string& name : chosen) {
        const std::optional<std::vector<std::uint8_t>> bytes = archive.read(name);
        if (!bytes)
            throw ToolError(options.archivePath + ": entry \"" + name + "\" is damaged");
        folder.write(name, *bytes);
    }
}

} // namespace

void addExtractCommand(CLI::App& app)
{
    auto options = std::make_shared<ExtractOptions>();
    CLI::App* command = app.add_subcommand("extract", "Write the entries of a container as files.");
    command->footer("Names that are absolute or contain \"..\" are refused, and no symbolic link below\n"
                    "the folder is followed.");
    command->add_option("ARCHIVE", options->archivePath, "Container, or a program with one appended")->required()->type_name("");
    command->add_option("-C,--directory", options->folder, "Folder to write into (default: current)")->type_name("DIR");
    command->add_option("NAME", options->names, "Entries to extract (default: all)")->type_name("");
    command->callback([options] { runExtract(*options); });
}

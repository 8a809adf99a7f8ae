// demotool extract: writes entries (all, or the named ones) as files below a folder. Every
// chosen name is checked before anything is written; a later record of a name wins, as when
// the player reads it. A damaged entry does not stop the others: each is named at the end,
// and the run fails then.
#include "archive/container_reader.h"
#include "archive/resource_archive.h"
#include "commands.h"
#include "extraction_folder.h"
#include "name_text.h"
#include "tool_error.h"

#include <CLI/CLI.hpp>

#include <iostream>
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
        throw ToolError(cEscapedName(options.archivePath) + ": not a container, or a damaged one");

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
                throw ToolError(cEscapedName(options.archivePath) + ": no entry named \"" + cEscapedName(name) + "\"");
        }
        chosen = options.names;
    }
    for (const std::string& name : chosen) {
        std::string reason;
        if (!entryPathParts(name, reason))
            throw ToolError("refusing entry \"" + cEscapedName(name) + "\": " + reason);
    }

    ExtractionFolder folder(options.folder);
    std::vector<std::string> damaged;
    for (const std::string& name : chosen) {
        const std::optional<std::vector<std::uint8_t>> bytes = archive.read(name);
        if (!bytes) {
            damaged.push_back("\"" + cEscapedName(name) + "\"");
            std::cerr << "demotool: " << cEscapedName(options.archivePath) << ": entry " << damaged.back()
                      << " is damaged; going on with the others\n";
            continue;
        }
        folder.write(name, *bytes);
    }
    if (!damaged.empty()) {
        std::string names;
        for (const std::string& name : damaged)
            names += (names.empty() ? "" : ", ") + name;
        throw ToolError(cEscapedName(options.archivePath) + ": " + std::to_string(damaged.size()) + " of " +
                        std::to_string(chosen.size()) + " entries damaged, not extracted: " + names);
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

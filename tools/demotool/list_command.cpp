// demotool list: one line per directory record, in directory order (duplicates included):
// name, declared size, stored size, filter id in hex and in words, separated by tabs.
#include "archive/container_reader.h"
#include "commands.h"
#include "filter_chain_text.h"
#include "tool_error.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace {

void runList(const std::string& archivePath)
{
    const std::optional<ContainerDirectory> directory = readContainerDirectory(archivePath, 0);
    if (!directory)
        throw ToolError(archivePath + ": not a container, or a damaged one");
    std::optional<BinaryFile> file = BinaryFile::open(archivePath);
    if (!file)
        throw ToolError(archivePath + ": cannot open");
    for (const DirectoryRecord& record : directory->records) {
        const std::optional<std::uint32_t> stored = readStoredLength(*file, directory->base + record.position);
        std::cout << record.name << '\t' << record.declaredSize << '\t'
                  << (stored ? std::to_string(*stored) : std::string("?")) << '\t' << filterIdHex(record.filterId)
                  << '\t' << filterIdWords(record.filterId) << '\n';
    }
}

} // namespace

void addListCommand(CLI::App& app)
{
    auto archivePath = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("list", "List the entries of a container.");
    command->footer("Columns (tab-separated): name, declared size, stored size, filter id, filter words.\n"
                    "Works on a .cfl file and on an executable with a container appended.");
    command->add_option("ARCHIVE", *archivePath, "Container, or a program with one appended")->required()->type_name("");
    command->callback([archivePath] { runList(*archivePath); });
}

// demotool list: one line per directory record, in directory order: name (C-style escaped),
// declared size, stored size, filter id in hex and in words, separated by tabs. By default
// only the records the player uses; a record whose name comes again later is shadowed.
#include "archive/container_reader.h"
#include "commands.h"
#include "filter_chain_text.h"
#include "name_text.h"
#include "tool_error.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <unordered_set>

namespace {

struct ListOptions {
    std::string archivePath;
    bool all = false;
    bool json = false;
};

// For each record, whether a later record of the same name replaces it.
std::vector<bool> shadowedRecords(const std::vector<DirectoryRecord>& records)
{
    std::vector<bool> shadowed(records.size());
    std::unordered_set<std::string_view> later;
    for (std::size_t i = records.size(); i-- > 0;)
        shadowed[i] = !later.insert(records[i].name).second;
    return shadowed;
}

void printJsonRecord(const DirectoryRecord& record, const std::optional<std::uint32_t>& stored, bool shadowed,
                     bool first)
{
    std::cout << (first ? "\n" : ",\n") << "  {\"name\": " << jsonString(record.name);
    if (!isValidUtf8(record.name))
        std::cout << ", \"nameHex\": \"" << hexBytes(record.name) << '"';
    std::cout << ", \"declaredSize\": " << record.declaredSize
              << ", \"storedSize\": " << (stored ? std::to_string(*stored) : std::string("null"))
              << ", \"filterId\": \"" << filterIdHex(record.filterId) << "\", \"filters\": \""
              << filterIdWords(record.filterId) << "\", \"shadowed\": " << (shadowed ? "true" : "false") << '}';
}

void runList(const ListOptions& options)
{
    const std::optional<ContainerDirectory> directory = readContainerDirectory(options.archivePath, 0);
    if (!directory)
        throw ToolError(cEscapedName(options.archivePath) + ": not a container, or a damaged one");
    std::optional<BinaryFile> file = BinaryFile::open(options.archivePath);
    if (!file)
        throw ToolError(cEscapedName(options.archivePath) + ": cannot open");
    const std::vector<bool> shadowed = shadowedRecords(directory->records);
    bool first = true;
    if (options.json)
        std::cout << '[';
    for (std::size_t i = 0; i < directory->records.size(); ++i) {
        if (shadowed[i] && !options.all)
            continue;
        const DirectoryRecord& record = directory->records[i];
        const std::optional<std::uint32_t> stored = readStoredLength(*file, directory->base + record.position);
        if (options.json) {
            printJsonRecord(record, stored, shadowed[i], first);
        } else {
            std::cout << cEscapedName(record.name) << '\t' << record.declaredSize << '\t'
                      << (stored ? std::to_string(*stored) : std::string("?")) << '\t'
                      << filterIdHex(record.filterId) << '\t' << filterIdWords(record.filterId);
            if (options.all)
                std::cout << '\t' << (shadowed[i] ? "shadowed" : "used");
            std::cout << '\n';
        }
        first = false;
    }
    if (options.json)
        std::cout << (first ? "]\n" : "\n]\n");
}

} // namespace

void addListCommand(CLI::App& app)
{
    auto options = std::make_shared<ListOptions>();
    CLI::App* command = app.add_subcommand("list", "List the entries of a container.");
    command->footer("Columns (tab-separated): name, declared size, stored size, filter id, filter words;\n"
                    "with --all a sixth, \"used\" or \"shadowed\" (a later record of the same name replaces\n"
                    "it, as in the player). Names are escaped C-style (\\n, \\t, \\\\, \\\", \\ooo).\n"
                    "--json prints an array of objects instead: name, nameHex (only when the name is not\n"
                    "UTF-8), declaredSize, storedSize (null when unreadable), filterId, filters, shadowed.\n"
                    "Works on a .cfl file and on an executable with a container appended.");
    command->add_option("ARCHIVE", options->archivePath, "Container, or a program with one appended")->required()->type_name("");
    command->add_flag("--all", options->all, "Every record, also those a later record of the same name shadows");
    command->add_flag("--json", options->json, "Print JSON for scripts instead of tab-separated lines");
    command->callback([options] { runList(*options); });
}

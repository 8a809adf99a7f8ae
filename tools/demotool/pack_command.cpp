// Collects the files, reads them, and writes the container in one atomic step.
#include "pack_command.h"

#include "archive/container_writer.h"
#include "commands.h"
#include "file_io.h"
#include "filter_chain_text.h"
#include "glob_match.h"
#include "tool_error.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <set>

namespace fs = std::filesystem;

namespace {

std::uint32_t filterIdOf(const std::string& text)
{
    const std::optional<std::uint32_t> id = parseFilterChain(text);
    if (!id)
        throw ToolError("unknown filter \"" + text + "\"");
    return *id;
}

// The entry name of `path` below `base`, or nothing when it lies outside it.
std::optional<std::string> relativeName(const fs::path& base, const fs::path& path)
{
    const fs::path relative = path.lexically_relative(base);
    if (relative.empty() || *relative.begin() == "..")
        return std::nullopt;
    return relative == "." ? std::string() : relative.generic_string();
}

// A symbolic link is packed as the file it names only when that file lies inside the packed
// folder too; otherwise packing would quietly copy a file from elsewhere into the container.
void checkStaysInside(const fs::path& base, const fs::path& source)
{
    std::error_code error;
    const fs::path real = fs::canonical(source, error);
    const fs::path realBase = fs::canonical(base, error);
    if (error || !relativeName(realBase, real))
        throw ToolError(source.string() + ": a link to " + (error ? std::string("nowhere") : real.string()) +
                        ", outside the packed folder");
}

void addFile(std::vector<PackedFile>& files, std::set<std::string>& seen, const std::string& name,
             const fs::path& source, const fs::path& output, const fs::path& base)
{
    checkStaysInside(base, source);
    std::error_code error;
    if (fs::exists(output, error) && fs::equivalent(source, output, error))
        return;
    if (seen.insert(name).second)
        files.push_back({name, source});
}

} // namespace

std::vector<PackedFile> collectPackedFiles(const PackOptions& options)
{
    const fs::path base = fs::absolute(options.baseFolder).lexically_normal();
    const fs::path output = fs::absolute(options.output).lexically_normal();
    std::vector<PackedFile> files;
    std::set<std::string> seen;
    for (const fs::path& given : options.paths) {
        const fs::path path = (base / given).lexically_normal();
        const std::optional<std::string> name = relativeName(base, path);
        if (!name)
            throw ToolError(given.string() + ": outside the base folder " + options.baseFolder.string());
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (fs::is_regular_file(status)) {
            if (name->empty())
                throw ToolError(given.string() + ": not a file below the base folder");
            addFile(files, seen, *name, path, output, base);
        } else if (fs::is_directory(status)) {
            for (fs::recursive_directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
                if (it->is_regular_file(error))
                    addFile(files, seen, *relativeName(base, it->path().lexically_normal()), it->path(), output,
                            base);
            }
            if (error)
                throw ToolError(given.string() + ": " + error.message());
        } else {
            throw ToolError(given.string() + (fs::exists(status) ? ": not a regular file or folder" : ": no such file or folder"));
        }
    }
    std::sort(files.begin(), files.end(), [](const PackedFile& a, const PackedFile& b) { return a.entryName < b.entryName; });
    return files;
}

std::uint32_t filterForEntry(const PackOptions& options, const std::string& entryName)
{
    for (auto rule = options.filterFor.rbegin(); rule != options.filterFor.rend(); ++rule) {
        const std::size_t equals = rule->rfind('=');
        if (equals == std::string::npos)
            throw ToolError("--filter-for needs GLOB=SPEC, got \"" + *rule + "\"");
        if (globMatch(std::string_view(*rule).substr(0, equals), entryName))
            return filterIdOf(rule->substr(equals + 1));
    }
    return filterIdOf(options.filter);
}

void runPack(const PackOptions& options)
{
    std::vector<ContainerEntry> entries;
    for (const PackedFile& file : collectPackedFiles(options))
        entries.push_back({file.entryName, readFileBytes(file.source), filterForEntry(options, file.entryName)});
    const ContainerResult container = writeContainer(entries, filterIdOf(options.directoryFilter));
    if (!container.error.empty())
        throw ToolError(container.error);
    writeFileAtomically(options.output, container.bytes);
}

namespace {

const CLI::Validator filterSpecCheck(
    [](std::string& text) {
        return parseFilterChain(text) ? std::string() : "unknown filter \"" + text + "\"";
    },
    "");

const CLI::Validator globSpecCheck(
    [](std::string& rule) {
        const std::size_t equals = rule.rfind('=');
        if (equals == std::string::npos || equals == 0)
            return "expected GLOB=SPEC, got \"" + rule + "\"";
        return parseFilterChain(rule.substr(equals + 1)) ? std::string() : "unknown filter in \"" + rule + "\"";
    },
    "");

} // namespace

void addPackCommand(CLI::App& app)
{
    auto options = std::make_shared<PackOptions>();
    CLI::App* command = app.add_subcommand("pack", "Pack files and folders into a container.");
    command->footer(
        "SPEC: none, zlib, delta8, delta16, delta32, delta8+zlib, delta16+zlib, delta32+zlib,\n"
        "or a raw filter id such as 0x00020001. A GLOB without \"/\" matches the file name in any\n"
        "folder; \"*\" stays within one folder, \"**\" crosses folders. The last matching\n"
        "--filter-for wins.");
    command->add_option("-o,--output", options->output, "Container to write")->required()->type_name("OUT.cfl");
    command->add_option("-C,--directory", options->baseFolder, "Base folder; entry names are relative to it")
        ->check(CLI::Validator(CLI::ExistingDirectory).description(""))
        ->type_name("DIR");
    command->add_option("--filter", options->filter, "Filter for every entry (default zlib)")
        ->check(filterSpecCheck)
        ->type_name("SPEC");
    command->add_option("--filter-for", options->filterFor, "Filter for entries matching GLOB")
        ->check(globSpecCheck)
        ->allow_extra_args(false)
        ->type_name("GLOB=SPEC");
    command->add_option("--directory-filter", options->directoryFilter, "Filter for the directory (default zlib)")
        ->check(filterSpecCheck)
        ->type_name("SPEC");
    command->add_option("PATH", options->paths, "Files and folders to pack, relative to the base folder")
        ->required()
        ->type_name("");
    command->callback([options] { runPack(*options); });
}

// Fuzzes the script parser, the keyword table and the timeline. The input is a set of script
// files cut at 0x01 bytes, named "a", "b", "c", ... in order; "a" is loaded first and the
// others are reachable through include lines. A script that parses is then run for a few
// frames with every command that would load or play content turned into a comment, so solid
// colours, layers and clocks see arbitrary numbers while nothing touches files or exits.
#include "platform/d3d9/recording/recording_device.h"
#include "platform/sound/recording_sound_library.h"
#include "platform/sound/sound_library.h"
#include "script/in_memory_script_source.h"
#include "script/script_line.h"
#include "script/script_parser.h"
#include "script/scripter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

namespace {

RecordingSoundLibrary& fuzzSound() {
    static RecordingSoundLibrary* library = [] {
        auto* created = new RecordingSoundLibrary();
        setSoundLibrary(created);
        return created;
    }();
    return *library;
}

RecordingDevice& fuzzDevice() {
    static RecordingDevice* device = [] {
        auto* created = new RecordingDevice(800, 600, D3DFMT_X8R8G8B8);
        created->setKeepCalls(false);
        return created;
    }();
    return *device;
}

void check(bool condition) {
    if (!condition) std::abort();
}

// Replaces the lines that would load or play content by comments, keeping the line count.
// Like the parser, it reads the text only up to its first zero byte.
std::string withoutContent(std::string text) {
    text.resize(std::min(text.size(), text.find('\0')));
    static const std::set<std::string> content = {"loadflash", "loadscene", "loadmusic", "loadimage",
                                                  "playscene", "playflash", "playmusic"};
    std::string result;
    std::size_t position = 0;
    std::string_view piece;
    while (nextLinePiece(text, position, piece)) {
        const std::string_view trimmed = trimLine(piece);
        const bool loads = !isBlankOrComment(trimmed) && content.count(tokenizeLine(trimmed, 0.0f).keyword);
        result += loads ? std::string("#") : std::string(piece);
        result += '\n';
    }
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RecordingSoundLibrary& sound = fuzzSound();
    RecordingDevice& device = fuzzDevice();
    sound.clearCalls();

    InMemoryScriptSource source;
    // Includes that fan out (each file including the next twice) would take exponential time;
    // the budget keeps one input's work bounded.
    source.readBudget = 2000;
    const std::string input(reinterpret_cast<const char*>(data), size);
    char name = 'a';
    std::size_t start = 0;
    while (start <= input.size() && name <= 'z') {
        std::size_t end = input.find('\x01', start);
        if (end == std::string::npos) end = input.size();
        source.files[std::string(1, name++)] = input.substr(start, end - start);
        start = end + 1;
    }

    // Parsing alone, with the line invariants the commands rely on.
    ScriptParser parser(source);
    const std::optional<ScriptError> error = parser.parse("a", 0.0f, [&](const ScriptLine& line) {
        check(!line.text.empty() && line.text.front() != '#');
        check(line.text.find('\n') == std::string::npos);
        for (const std::string& arg : line.args) {
            check(arg.find(' ') == std::string::npos && arg.find('\t') == std::string::npos);
        }
        return true;
    });
    // Every keyword was accepted, so only an include cycle can have stopped the parse.
    if (error) check(tokenizeLine(error->line, 0.0f).keyword == "include");

    // The same files without content commands, parsed by a Scripter and run.
    for (auto& file : source.files) file.second = withoutContent(file.second);
    source.reads = 0;
    float clock = 0.0f;
    Scripter scripter(&device, 800, 600, [&clock] { return clock; });
    scripter.setScriptSource(&source);
    if (const std::optional<ScriptError> bad = scripter.parseScript("a", 0.0f)) {
        check(bad->lineNumber >= 1 && bad->message().find(bad->line) != std::string::npos);
        return 0;
    }
    for (int frame = 0; frame < 40; ++frame) {
        clock = static_cast<float>(frame * frame) * 137.0f;
        if (scripter.update()) break;
    }
    return 0;
}

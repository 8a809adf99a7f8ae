// Fuzzes the script parser and the keyword table. The input is a set of script files cut at
// 0x01 bytes, named "a", "b", "c", ... in order; "a" is loaded first and the others are
// reachable through include lines. Commands are made but never run, so nothing is loaded.
#include "platform/d3d9/recording/recording_device.h"
#include "platform/sound/recording_sound_library.h"
#include "platform/sound/sound_library.h"
#include "script/command_factory.h"
#include "script/in_memory_script_source.h"
#include "script/script_parser.h"
#include "script/scripter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

Scripter& fuzzScripter() {
    // The Scripter only hands itself to the commands as their owner; the doubles keep its
    // construction (sound start-up) away from real devices.
    static RecordingSoundLibrary* sound = [] {
        auto* library = new RecordingSoundLibrary();
        setSoundLibrary(library);
        return library;
    }();
    static RecordingDevice* device = new RecordingDevice(800, 600, D3DFMT_X8R8G8B8);
    static Scripter* scripter = new Scripter(device, 800, 600, [] { return 0.0f; });
    (void)sound;
    return *scripter;
}

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Scripter& scripter = fuzzScripter();
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

    ScriptParser parser(source);
    std::size_t commands = 0;
    const std::optional<ScriptError> error = parser.parse("a", 0.0f, [&](const ScriptLine& line) {
        check(!line.text.empty() && line.text.front() != '#');
        check(line.text.find('\n') == std::string::npos);
        for (const std::string& arg : line.args) {
            check(arg.find(' ') == std::string::npos && arg.find('\t') == std::string::npos);
        }
        const std::unique_ptr<ScriptItem> command = makeCommand(scripter, line);
        commands += command != nullptr;
        return command != nullptr;
    });
    if (error) {
        check(error->lineNumber >= 1);
        check(error->message().find(error->line) != std::string::npos);
    }
    (void)commands;
    return 0;
}

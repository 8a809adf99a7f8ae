// Turns a script file and everything it includes into an ordered stream of command lines.
// Includes are expanded in place with their own (not accumulated) time offset; a file that
// is already open further up the include chain is refused instead of recursing forever.
#pragma once

#include "script/script_line.h"
#include "script/script_source.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// A line the parser could not accept: an unknown keyword or an include cycle.
struct ScriptError {
    std::string line;      // the whole trimmed line
    std::string fileName;  // as named by the loader or the include line
    std::int64_t lineNumber = 0;  // counts every non-empty piece between line feeds, from 1

    std::string message() const;
};

class ScriptParser {
public:
    // Receives every command line but includes; false means the keyword is unknown.
    using LineSink = std::function<bool(const ScriptLine&)>;
    // Called whenever a file (the top one or an included one) has been read to its end.
    using FileEnd = std::function<void()>;

    explicit ScriptParser(ScriptSource& source) : source_(source) {}

    // A file missing from the source adds nothing and is not an error. Stops at the first
    // bad line; the lines before it have already gone to the sink.
    std::optional<ScriptError> parse(const std::string& fileName, float timeOffset,
                                     const LineSink& sink, const FileEnd& fileEnd = {});

private:
    ScriptSource& source_;
};

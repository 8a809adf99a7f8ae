// The script parser. Nesting is kept on an explicit stack, so include depth costs memory,
// never the call stack.
#include "script/script_parser.h"

#include "script/script_arguments.h"

#include <set>
#include <vector>

std::string ScriptError::message() const {
    return "Invalid command '" + line + "' in script " + fileName + ", line " +
           std::to_string(lineNumber) + "!";
}

namespace {

struct OpenScript {
    std::string fileName;
    std::string text;
    float timeOffset = 0.0f;
    std::size_t position = 0;
    std::int64_t lineNumber = 0;
};

OpenScript openScript(std::string fileName, std::string text, float timeOffset) {
    // The text is a C string: whatever follows a zero byte is never seen.
    if (const std::size_t zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    return OpenScript{std::move(fileName), std::move(text), timeOffset};
}

}  // namespace

std::optional<ScriptError> ScriptParser::parse(const std::string& fileName, float timeOffset,
                                               const LineSink& sink, const FileEnd& fileEnd) {
    std::optional<std::string> text = source_.read(fileName);
    if (!text) return std::nullopt;
    // The include chain, and the names on it: a file may be open only once at a time.
    std::vector<OpenScript> chain;
    std::set<std::string> openNames{fileName};
    chain.push_back(openScript(fileName, std::move(*text), timeOffset));

    while (!chain.empty()) {
        OpenScript& current = chain.back();
        std::string_view piece;
        if (!nextLinePiece(current.text, current.position, piece)) {
            openNames.erase(current.fileName);
            chain.pop_back();
            if (fileEnd) fileEnd();
            continue;
        }
        ++current.lineNumber;
        const std::string_view trimmed = trimLine(piece);
        if (isBlankOrComment(trimmed)) continue;

        ScriptLine line = tokenizeLine(trimmed, current.timeOffset);
        if (line.keyword == "include") {
            const std::string& included = line.args[0];
            if (openNames.count(included)) {
                return ScriptError{line.text, current.fileName, current.lineNumber};
            }
            // The included file's offset replaces the current one; offsets do not add up.
            const float includedOffset = readNumber(line.args[1]);
            if (std::optional<std::string> includedText = source_.read(included)) {
                openNames.insert(included);
                chain.push_back(openScript(included, std::move(*includedText), includedOffset));
            }
            continue;
        }
        if (!sink(line)) return ScriptError{line.text, current.fileName, current.lineNumber};
    }
    return std::nullopt;
}

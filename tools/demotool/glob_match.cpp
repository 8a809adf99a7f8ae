// A straightforward recursive matcher; patterns and names are short, so backtracking costs
// nothing worth optimising.
#include "glob_match.h"

namespace {

// Matches a bracket class at the start of `pattern` against c; sets `length` to the class's
// length in the pattern, or 0 when the bracket is not closed (then it is a literal "[").
bool matchClass(std::string_view pattern, char c, std::size_t& length)
{
    std::size_t i = 1;
    const bool negated = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
    if (negated)
        ++i;
    bool matched = false;
    bool firstItem = true;
    for (; i < pattern.size() && (pattern[i] != ']' || firstItem); firstItem = false) {
        char low = pattern[i];
        char high = low;
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            high = pattern[i + 2];
            i += 3;
        } else {
            ++i;
        }
        if (low <= c && c <= high)
            matched = true;
    }
    if (i >= pattern.size()) {
        length = 0;
        return false;
    }
    length = i + 1;
    return matched != negated;
}

bool matchFrom(std::string_view pattern, std::string_view name)
{
    while (!pattern.empty()) {
        if (pattern.starts_with("**")) {
            pattern.remove_prefix(2);
            if (pattern.starts_with('/'))
                pattern.remove_prefix(1); // "a/**/b" also matches "a/b"
            for (std::size_t skip = 0; skip <= name.size(); ++skip) {
                if (matchFrom(pattern, name.substr(skip)))
                    return true;
            }
            return false;
        }
        if (pattern.front() == '*') {
            pattern.remove_prefix(1);
            for (std::size_t skip = 0; skip <= name.size(); ++skip) {
                if (matchFrom(pattern, name.substr(skip)))
                    return true;
                if (skip < name.size() && name[skip] == '/')
                    return false;
            }
            return false;
        }
        if (name.empty())
            return false;
        if (pattern.front() == '?') {
            if (name.front() == '/')
                return false;
            pattern.remove_prefix(1);
        } else if (pattern.front() == '[') {
            std::size_t length = 0;
            const bool inClass = matchClass(pattern, name.front(), length);
            if (length == 0) {
                if (name.front() != '[')
                    return false;
                length = 1;
            } else if (!inClass || name.front() == '/') {
                return false;
            }
            pattern.remove_prefix(length);
        } else {
            if (pattern.front() != name.front())
                return false;
            pattern.remove_prefix(1);
        }
        name.remove_prefix(1);
    }
    return name.empty();
}

} // namespace

bool globMatch(std::string_view pattern, std::string_view entryName)
{
    if (pattern.find('/') == std::string_view::npos) {
        const std::size_t slash = entryName.rfind('/');
        if (slash != std::string_view::npos)
            entryName.remove_prefix(slash + 1);
    }
    return matchFrom(pattern, entryName);
}

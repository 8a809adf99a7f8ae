// What an import leaves out or changes, one line per object, in the order met.
#pragma once

#include <string>
#include <vector>

class ImportNotes {
public:
    // `object` is a kind and a name ("mesh \"Body\""), `what` says what happened to it.
    void note(const std::string& object, const std::string& what) { lines_.push_back(object + ": " + what); }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

inline std::string quotedName(const std::string& name)
{
    return "\"" + name + "\"";
}

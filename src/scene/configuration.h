// A node's user properties: key/value pairs parsed from free text. Keys are stored lowered and
// looked up lowered, the first occurrence of a key wins, values keep their case. Numbers are
// converted at each read with C-library rules in the "C" locale, whatever the process locale.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class Configuration {
public:
    // Adds the pairs of `text` (up to its first NUL, if any) to what is stored.
    void parse(std::string_view text);

    // Null when absent; the pointer stays valid while the store lives.
    const char* getString(std::string_view key) const;
    // atoi / atof of the value; 0 when absent or when the value has no leading number.
    int getInt(std::string_view key) const;
    float getFloat(std::string_view key) const;

    // Every stored pair whose (lowered) key starts with the lowered `prefix`, in key order.
    std::vector<std::pair<std::string_view, std::string_view>> withPrefix(std::string_view prefix) const;
    std::size_t size() const { return entries_.size(); }

private:
    std::map<std::string, std::string, std::less<>> entries_;
};

// The C library's conversions, locale-independent ('.' is the decimal point).
int parseCInt(const char* text);
float parseCFloat(const char* text);

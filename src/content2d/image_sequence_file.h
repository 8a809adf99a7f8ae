// The text of an image sequence file: an optional "fps=<rate>" first line, then one frame per
// line, either a picture name (with a rate, frames 1000 ÷ rate ms apart) or "<time ms> <name>".
// Blank lines and lines starting with "#" are skipped. Pure text work, no device, no files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct ImageSequenceEntry {
    float timeMs = 0;    // from the start of the loop
    std::string fileName; // empty when a timed line has no name word
};

struct ImageSequenceListing {
    std::vector<ImageSequenceEntry> entries; // in file order, not sorted
    // (time of the last entry) × (entries + 1) ÷ entries; 0 without entries.
    float loopLengthMs = 0;
};

ImageSequenceListing parseImageSequence(std::string_view text);

// The leading decimal number of text (optional sign, digits, point, exponent), 0 when there is
// none; no hexadecimal, infinities or NaNs. Values beyond float's range saturate to ±infinity.
float leadingDecimal(std::string_view text);

// True when the last three characters of name, lower-cased, are "seq".
bool isSequenceFileName(std::string_view name);

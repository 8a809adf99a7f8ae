// Marker walk over a JPEG stream, checking the Huffman tables it defines and the ones its
// scans use.

#include "platform/d3dx/jpeg_table_check.h"

namespace {

constexpr std::uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA, kDht = 0xC4, kTem = 0x01;
constexpr std::uint8_t kSofBaseline = 0xC0, kSofExtended = 0xC1, kSofProgressive = 0xC2;

bool isRestart(std::uint8_t marker)
{
    return marker >= 0xD0 && marker <= 0xD7;
}

// Reads bytes the way the decoder does: past the end every byte is 0.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool atEnd() const { return position_ >= size_; }
    std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
    unsigned word()
    {
        const unsigned high = byte();
        return (high << 8) | byte();
    }
    void skip(std::size_t count) { position_ = count > size_ - position_ ? size_ : position_ + count; }
    std::uint8_t peek() const { return position_ < size_ ? data_[position_] : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// The next marker: skips anything up to an 0xFF, then the run of 0xFF fill bytes.
bool nextMarker(Reader& in, std::uint8_t& marker)
{
    while (!in.atEnd() && in.peek() != 0xFF) in.byte();
    while (!in.atEnd() && in.peek() == 0xFF) in.byte();
    if (in.atEnd()) return false;
    marker = in.byte();
    return true;
}

// Entropy-coded data runs until an 0xFF that is neither stuffing (FF 00), a restart marker nor
// fill; returns the code of that marker.
bool skipEntropyData(Reader& in, std::uint8_t& marker)
{
    while (!in.atEnd()) {
        if (in.byte() != 0xFF) continue;
        while (in.peek() == 0xFF && !in.atEnd()) in.byte();
        const std::uint8_t code = in.byte();
        if (code == 0x00 || isRestart(code)) continue;
        marker = code;
        return true;
    }
    return false;
}

struct TableState {
    bool defined[2][4] = {}; // [0 DC, 1 AC][slot]
    bool progressive = false;
};

// A DHT segment, read by its code counts as the decoder reads it.
bool defineTables(Reader& in, unsigned length, TableState& state)
{
    int remaining = static_cast<int>(length) - 2;
    while (remaining > 0) {
        const std::uint8_t classAndSlot = in.byte();
        unsigned codes = 0;
        for (int i = 0; i < 16; ++i) codes += in.byte();
        if (codes > 256) return false;
        const unsigned tableClass = classAndSlot >> 4, slot = classAndSlot & 15;
        if (tableClass <= 1 && slot <= 3) state.defined[tableClass][slot] = true;
        in.skip(codes);
        remaining -= 17 + static_cast<int>(codes);
    }
    return true;
}

// A scan header: the DC table is decoded with in baseline scans and first DC scans, the AC
// table in baseline scans and every AC scan; both must exist by then.
bool scanTablesDefined(Reader& in, unsigned length, const TableState& state)
{
    const unsigned components = in.byte();
    std::uint8_t selectors[4] = {};
    for (unsigned i = 0; i < components; ++i) {
        in.byte(); // component id
        const std::uint8_t selector = in.byte();
        if (i < 4) selectors[i] = selector;
    }
    const unsigned spectralStart = in.byte();
    in.byte(); // spectral end
    const unsigned approximationHigh = in.byte() >> 4;
    const std::size_t read = 1 + 2 * std::size_t(components) + 3;
    if (length >= 2 + read) in.skip(length - 2 - read);

    const bool usesDc = spectralStart == 0 && (!state.progressive || approximationHigh == 0);
    const bool usesAc = !state.progressive || spectralStart != 0;
    for (unsigned i = 0; i < components && i < 4; ++i) {
        const unsigned dc = selectors[i] >> 4, ac = selectors[i] & 15;
        if (usesDc && (dc > 3 || !state.defined[0][dc])) return false;
        if (usesAc && (ac > 3 || !state.defined[1][ac])) return false;
    }
    return true;
}

} // namespace

bool looksLikeJpeg(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || data[0] != 0xFF) return false;
    std::size_t i = 1;
    while (i < size && data[i] == 0xFF) ++i;
    return i < size && data[i] == kSoi;
}

bool jpegHuffmanTablesSound(const std::uint8_t* data, std::size_t size)
{
    if (!data || !looksLikeJpeg(data, size)) return true;
    Reader in(data, size);
    TableState state;
    std::uint8_t marker = 0;
    nextMarker(in, marker); // the start-of-image marker
    bool haveMarker = nextMarker(in, marker);
    while (haveMarker) {
        if (marker == kEoi) return true;
        if (isRestart(marker) || marker == kTem || marker == kSoi) {
            haveMarker = nextMarker(in, marker);
            continue;
        }
        const unsigned length = in.word();
        if (marker == kDht) {
            // The decoder reads tables by their counts; a segment whose counts disagree with its
            // length is an error there, so going on from the counted position is enough.
            if (!defineTables(in, length, state)) return false;
            haveMarker = nextMarker(in, marker);
        } else if (marker == kSos) {
            if (!scanTablesDefined(in, length, state)) return false;
            haveMarker = skipEntropyData(in, marker);
        } else {
            if (marker == kSofBaseline || marker == kSofExtended || marker == kSofProgressive)
                state.progressive = marker == kSofProgressive;
            in.skip(length >= 2 ? length - 2 : 0);
            haveMarker = nextMarker(in, marker);
        }
    }
    return true;
}

// Marker walk over a JPEG stream, checking the code counts of every Huffman table.

#include "platform/d3dx/jpeg_table_check.h"

namespace {

constexpr std::uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA, kDht = 0xC4, kTem = 0x01;

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
// fill; leaves the reader on that marker's code byte's successor and returns the code.
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

bool tablesFit(Reader& in, unsigned length)
{
    int remaining = static_cast<int>(length) - 2;
    while (remaining > 0) {
        in.byte(); // table class and slot
        unsigned codes = 0;
        for (int i = 0; i < 16; ++i) codes += in.byte();
        if (codes > 256) return false;
        in.skip(codes);
        remaining -= 17 + static_cast<int>(codes);
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

bool jpegHuffmanTablesFit(const std::uint8_t* data, std::size_t size)
{
    if (!data || !looksLikeJpeg(data, size)) return true;
    Reader in(data, size);
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
            if (!tablesFit(in, length)) return false;
            // The decoder reads tables by their counts; a segment whose counts disagree with its
            // length is an error there, so continuing from the counted position is enough.
            haveMarker = nextMarker(in, marker);
        } else if (marker == kSos) {
            in.skip(length >= 2 ? length - 2 : 0);
            haveMarker = skipEntropyData(in, marker);
        } else {
            in.skip(length >= 2 ? length - 2 : 0);
            haveMarker = nextMarker(in, marker);
        }
    }
    return true;
}

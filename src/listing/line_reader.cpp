#include "line_reader.h"

#include <algorithm>
#include <cstring>

#include "output_writer.h"

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kEndOfText = '\x1a';  // Ctrl-Z

// True when [from, to) holds a CR that does not end a line (one not followed by LF, or the
// block's last byte). One loop with no early exit, which compilers turn into vector code: the
// whole check costs a small part of reading the block.
bool has_stray_carriage_return(const char* from, const char* to) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(from);
    auto size = static_cast<std::size_t>(to - from);
    if (size == 0) return false;
    unsigned char stray = bytes[size - 1] == kCarriageReturn;
    for (std::size_t i = 0; i + 1 < size; ++i)
        stray |= (bytes[i] == kCarriageReturn) & (bytes[i + 1] != '\n');
    return stray != 0;
}

// Drops the CRs of [from, to) in place, all but those just before an LF, which the line
// they end drops as it is taken; returns the new end. Text moves only after a stray CR, so a
// listing with CR LF line ends is not copied at all.
char* drop_carriage_returns(char* from, char* to) {
    if (!has_stray_carriage_return(from, to)) return to;
    char* out = from;
    for (char* in = from;;) {
        auto* cr =
            static_cast<char*>(std::memchr(in, kCarriageReturn, static_cast<std::size_t>(to - in)));
        bool ends_line = cr != nullptr && cr + 1 < to && cr[1] == '\n';
        char* keep_to = cr == nullptr ? to : cr + ends_line;
        if (out != in) std::memmove(out, in, static_cast<std::size_t>(keep_to - in));
        out += keep_to - in;
        if (cr == nullptr) return out;
        in = cr + 1;
    }
}

// Reads one more block, first moving the unreturned text to the front or growing the buffer
// so that a whole block fits.
void refill(LineReader& reader) {
    if (reader.capacity - reader.end < reader.block && reader.begin != 0) {
        std::size_t kept = reader.end - reader.begin;
        if (kept != 0) std::memmove(reader.data.get(), reader.data.get() + reader.begin, kept);
        reader.scanned -= reader.begin;
        reader.end = kept;
        reader.begin = 0;
    }
    if (reader.capacity - reader.end < reader.block) {
        std::size_t wanted = std::max(2 * reader.capacity, reader.end + reader.block);
        // Zeroed, so that the bytes a scan reads past a line's end are never undefined.
        auto bigger = std::make_unique<char[]>(wanted + kReadAhead);
        if (reader.end != 0) std::memcpy(bigger.get(), reader.data.get(), reader.end);
        reader.data.swap(bigger);
        reader.capacity = wanted;
    }
    if (reader.flush_before_read != nullptr) flush_writer(*reader.flush_before_read);
    char* start = reader.data.get() + reader.end;
    std::ptrdiff_t got = read_some(reader.source, start, reader.capacity - reader.end);
    if (got <= 0) {
        reader.at_end = true;
        reader.read_failed = got < 0;
        return;
    }
    char* stop = start + got;
    if (auto* end_of_text =
            static_cast<char*>(std::memchr(start, kEndOfText, static_cast<std::size_t>(got)))) {
        stop = end_of_text;
        reader.at_end = true;
    }
    reader.end = static_cast<std::size_t>(drop_carriage_returns(start, stop) - reader.data.get());
}

}  // namespace

void open_reader(LineReader& reader, ByteSource source, std::size_t block) {
    reader.source = source;
    reader.begin = reader.scanned = reader.end = 0;
    reader.at_end = false;
    reader.read_failed = false;
    reader.block = block;
}

namespace {

// Takes up to `most` lines that end in LF from what is already in the buffer and returns how
// many; fewer only when the buffer holds no further LF. Works on copies of the positions, which
// the stores to `lines` cannot change, so they stay in registers.
std::size_t take_buffered_lines(LineReader& reader, std::string_view* lines, std::size_t most) {
    const char* base = reader.data.get();
    std::size_t begin = reader.begin;
    std::size_t scanned = reader.scanned;
    const std::size_t end = reader.end;
    std::size_t count = 0;
    while (count < most && scanned < end) {
        const auto* lf = static_cast<const char*>(std::memchr(base + scanned, '\n', end - scanned));
        if (lf == nullptr) {
            scanned = end;
            break;
        }
        auto stop = static_cast<std::size_t>(lf - base);
        scanned = stop + 1;
        if (stop > begin && base[stop - 1] == kCarriageReturn) --stop;  // CR LF
        lines[count++] = std::string_view(base + begin, stop - begin);
        begin = scanned;
    }
    reader.begin = begin;
    reader.scanned = scanned;
    return count;
}

// At the end of the input, takes the rest of the text, which no LF ends; false when none is left.
bool take_last_line(LineReader& reader, std::string_view& line) {
    if (reader.begin == reader.end) return false;
    line = std::string_view(reader.data.get() + reader.begin, reader.end - reader.begin);
    reader.begin = reader.scanned = reader.end;
    return true;
}

}  // namespace

std::size_t read_lines(LineReader& reader, std::string_view* lines, std::size_t most) {
    std::size_t count = 0;
    while (count < most) {
        count += take_buffered_lines(reader, lines + count, most - count);
        if (count == most) break;
        if (reader.at_end) {  // what is left has no LF
            if (take_last_line(reader, lines[count])) ++count;
            break;
        }
        if (count != 0) break;  // a read would move the lines already taken
        refill(reader);
    }
    return count;
}

#include "line_reader.h"

#include <algorithm>
#include <cstring>

#include "output_writer.h"

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kEndOfText = '\x1a';  // Ctrl-Z

// Drops every CR of [from, to) in place; returns the new end.
char* drop_carriage_returns(char* from, char* to) {
    char* out = static_cast<char*>(std::memchr(from, kCarriageReturn, static_cast<std::size_t>(to - from)));
    if (out == nullptr) return to;
    for (char* in = out + 1; in < to;) {
        char* next = static_cast<char*>(std::memchr(in, kCarriageReturn, static_cast<std::size_t>(to - in)));
        char* stop = next ? next : to;
        std::memmove(out, in, static_cast<std::size_t>(stop - in));
        out += stop - in;
        in = stop + 1;
    }
    return out;
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
        auto bigger = std::make_unique<char[]>(wanted);
        if (reader.end != 0) std::memcpy(bigger.get(), reader.data.get(), reader.end);
        reader.data.swap(bigger);
        reader.capacity = wanted;
    }
    if (reader.flush_before_read != nullptr) flush_writer(*reader.flush_before_read);
    char* start = reader.data.get() + reader.end;
    std::size_t got = read_some(reader.source, start, reader.capacity - reader.end);
    if (got == 0) {
        reader.at_end = true;
        return;
    }
    char* stop = start + got;
    if (char* end_of_text = static_cast<char*>(std::memchr(start, kEndOfText, got))) {
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
    reader.block = block;
}

bool read_line(LineReader& reader, std::string_view& line) {
    for (;;) {
        char* base = reader.data.get();
        if (reader.scanned < reader.end) {
            if (auto* lf = static_cast<char*>(
                    std::memchr(base + reader.scanned, '\n', reader.end - reader.scanned))) {
                std::size_t stop = static_cast<std::size_t>(lf - base);
                line = std::string_view(base + reader.begin, stop - reader.begin);
                reader.begin = reader.scanned = stop + 1;
                return true;
            }
            reader.scanned = reader.end;
        }
        if (reader.at_end) {
            if (reader.begin == reader.end) return false;
            line = std::string_view(base + reader.begin, reader.end - reader.begin);
            reader.begin = reader.scanned = reader.end;
            return true;
        }
        refill(reader);
    }
}

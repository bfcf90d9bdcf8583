// Reads a listing as text lines: CR bytes dropped wherever they stand, LF ending a line,
// Ctrl-Z ending the input, a last line without LF kept. One buffer, reused, only growing.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "byte_stream.h"
#include "byte_words.h"

struct OutputWriter;

struct LineReader {
    ByteSource source;
    std::unique_ptr<char[]> data;  // capacity + kReadAhead bytes
    std::size_t capacity = 0;
    std::size_t begin = 0;     // the next line starts here; begin <= scanned <= end <= capacity
    std::size_t scanned = 0;   // [begin, scanned) holds no LF
    std::size_t end = 0;       // [begin, end) is text read but not yet returned; its only CRs
                               // stand just before an LF
    bool at_end = false;       // the source is exhausted or a Ctrl-Z was read: nothing more is read
    bool read_failed = false;  // the source reported a read error; at_end is set too
    std::size_t block = 0;     // the size of one read from the source
    OutputWriter* flush_before_read = nullptr;  // its complete lines go out before every read
};

// Prepares `reader` to read `source` from its start, keeping any buffer it already has.
void open_reader(LineReader& reader, ByteSource source, std::size_t block = kDefaultBlock);

// Fills `lines` with up to `most` next lines, without their LF, each followed by kReadAhead
// readable bytes, and returns how many; 0 at the
// end of the input, or after a read error (then `read_failed` is set). The views stay valid until
// the next call, so a caller can look at a whole batch at once. Throws std::bad_alloc when a line
// does not fit in memory.
std::size_t read_lines(LineReader& reader, std::string_view* lines, std::size_t most);

// Sets `line` to the next line; returns false at the end of the input.
inline bool read_line(LineReader& reader, std::string_view& line) {
    return read_lines(reader, &line, 1) == 1;
}

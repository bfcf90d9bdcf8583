// Reads a listing as text lines: CR bytes dropped wherever they stand, LF ending a line,
// Ctrl-Z ending the input, a last line without LF kept. One buffer, reused, only growing.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "byte_stream.h"

struct OutputWriter;

struct LineReader {
    ByteSource source;
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::size_t begin = 0;    // the next line starts here; begin <= scanned <= end <= capacity
    std::size_t scanned = 0;  // [begin, scanned) holds no LF
    std::size_t end = 0;      // [begin, end) is text read but not yet returned, CR already dropped
    bool at_end = false;      // the source is exhausted or a Ctrl-Z was read: nothing more is read
    std::size_t block = 0;    // the size of one read from the source
    OutputWriter* flush_before_read = nullptr;  // its complete lines go out before every read
};

// Prepares `reader` to read `source` from its start, keeping any buffer it already has.
void open_reader(LineReader& reader, ByteSource source, std::size_t block = 256 * 1024);

// Sets `line` to the next line, without its LF; valid until the next call. Returns false at
// the end of the input. Throws std::bad_alloc when a line does not fit in memory.
bool read_line(LineReader& reader, std::string_view& line);

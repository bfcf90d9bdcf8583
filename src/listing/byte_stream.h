// Where a line reader takes its bytes and an output writer puts them: an open file, or
// memory when tests drive the passes without touching the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

// How much a reader takes and a writer gives per system call.
inline constexpr std::size_t kDefaultBlock = std::size_t{256} * 1024;

struct ByteSource {
    int fd = -1;                 // read with the system's read when >= 0
    std::string_view memory;     // otherwise the bytes come from here, front first...
    std::size_t most_per_read =  // ...at most this many per read, so tests can place
        std::numeric_limits<std::size_t>::max();  // block boundaries anywhere
};

struct ByteSink {
    int fd = -1;                    // written with the system's write when >= 0
    std::string* memory = nullptr;  // otherwise appended here
    bool refuse_writes = false;     // memory sink that fails every write, as a full disk does
};

inline ByteSource file_source(int fd) {
    ByteSource source;
    source.fd = fd;
    return source;
}

inline ByteSink file_sink(int fd) {
    ByteSink sink;
    sink.fd = fd;
    return sink;
}

// Returns the number of bytes placed in `into`, 0 at the end of the source, -1 on a read error.
std::ptrdiff_t read_some(ByteSource& source, char* into, std::size_t capacity);

// Returns false when not every byte could be written.
bool write_all(ByteSink& sink, const char* bytes, std::size_t count);

#include "byte_stream.h"

#include <algorithm>
#include <cstring>

#include "system_io.h"

std::ptrdiff_t read_some(ByteSource& source, char* into, std::size_t capacity) {
    if (source.fd >= 0) return read_from(source.fd, into, capacity);
    std::size_t count = std::min({capacity, source.memory.size(), source.most_per_read});
    if (count != 0) std::memcpy(into, source.memory.data(), count);
    source.memory.remove_prefix(count);
    return static_cast<std::ptrdiff_t>(count);
}

bool write_all(ByteSink& sink, const char* bytes, std::size_t count) {
    if (sink.fd >= 0) return write_to(sink.fd, bytes, count);
    if (sink.refuse_writes || sink.memory == nullptr) return false;
    sink.memory->append(bytes, count);
    return true;
}

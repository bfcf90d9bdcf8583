#include "output_writer.h"

#include <algorithm>

#include "system_io.h"

void open_writer(OutputWriter& writer, ByteSink sink, std::size_t block) {
    writer.sink = sink;
    writer.size = 0;
    writer.complete.store(0);
    writer.failed = false;
    writer.flush_at = block;
    if (writer.capacity < block + block / 4) {
        writer.data.reset();
        writer.capacity = 0;
        grow_writer(writer, block + block / 4);
    }
}

void grow_writer(OutputWriter& writer, std::size_t count) {
    std::size_t wanted = std::max(writer.size + count, 2 * writer.capacity);
    auto bigger = std::make_unique_for_overwrite<char[]>(wanted);
    if (writer.size != 0) std::memcpy(bigger.get(), writer.data.get(), writer.size);
    hold_exit_signals();
    writer.data.swap(bigger);
    writer.capacity = wanted;
    release_exit_signals();
}

bool flush_writer(OutputWriter& writer) {
    std::size_t complete = writer.complete.load(std::memory_order_relaxed);
    if (complete == 0) return !writer.failed;
    hold_exit_signals();
    // After a failure the lines are dropped, so a dead sink does not make the buffer grow.
    if (!writer.failed && !write_all(writer.sink, writer.data.get(), complete))
        writer.failed = true;
    std::size_t rest = writer.size - complete;
    if (rest != 0) std::memmove(writer.data.get(), writer.data.get() + complete, rest);
    writer.size = rest;
    writer.complete.store(0, std::memory_order_relaxed);
    release_exit_signals();
    return !writer.failed;
}

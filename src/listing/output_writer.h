// Buffered writer of output listing lines. Bytes reach the sink only in whole lines, and
// every completed line can be pushed out at any moment, even from a signal handler.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#include "byte_stream.h"

struct OutputWriter {
    ByteSink sink;
    std::unique_ptr<char[]> data;  // pending bytes, [0, size); replaced only while exit
                                   // signals are held
    std::size_t size = 0;          // size <= capacity
    std::size_t capacity = 0;
    std::atomic<std::size_t> complete{0};  // [0, complete) holds whole lines; complete <= size
    std::size_t flush_at = 0;              // flush once this many bytes are complete
    bool failed = false;                   // a write failed; nothing more is written
};

static_assert(std::atomic<std::size_t>::is_always_lock_free,
              "the signal handler reads `complete` without locks");

// Prepares `writer` to write to `sink`, buffering about `block` bytes between writes.
void open_writer(OutputWriter& writer, ByteSink sink, std::size_t block = kDefaultBlock);

// Makes room for `count` more bytes; throws std::bad_alloc when memory runs out.
void grow_writer(OutputWriter& writer, std::size_t count);

inline void put_bytes(OutputWriter& writer, std::string_view bytes) {
    if (writer.capacity - writer.size < bytes.size()) grow_writer(writer, bytes.size());
    if (!bytes.empty()) std::memcpy(writer.data.get() + writer.size, bytes.data(), bytes.size());
    writer.size += bytes.size();
}

inline void put_byte(OutputWriter& writer, char byte) {
    if (writer.capacity == writer.size) grow_writer(writer, 1);
    writer.data[writer.size++] = byte;
}

// Bytes past the end of the text that copy_text may overwrite; room_for leaves them free.
inline constexpr std::size_t kCopySlack = 16;

// Returns where the next byte goes, once there is room for `count` more bytes and kCopySlack
// after them; the caller writes there and hands the new end to `commit`. Throws std::bad_alloc.
inline char* room_for(OutputWriter& writer, std::size_t count) {
    if (writer.capacity - writer.size < count + kCopySlack) grow_writer(writer, count + kCopySlack);
    return writer.data.get() + writer.size;
}

inline void commit(OutputWriter& writer, const char* end) {
    writer.size = static_cast<std::size_t>(end - writer.data.get());
}

// Copies `text` to `to` and returns its end. Short texts move as one 16-byte block, so `text`
// must be followed by readable bytes (as every line a LineReader hands out is) and `to` by
// kCopySlack free ones.
inline char* copy_text(char* to, std::string_view text) {
    if (text.size() <= kCopySlack)
        std::memcpy(to, text.data(), kCopySlack);
    else
        std::memcpy(to, text.data(), text.size());
    return to + text.size();
}

// Writes every complete line to the sink. Returns false once any write has failed.
bool flush_writer(OutputWriter& writer);

// Ends the line being composed with CR LF; it is then complete and never lost.
inline void end_line(OutputWriter& writer) {
    put_bytes(writer, "\r\n");
    std::atomic_signal_fence(std::memory_order_release);
    writer.complete.store(writer.size, std::memory_order_relaxed);
    if (writer.size >= writer.flush_at) flush_writer(writer);
}

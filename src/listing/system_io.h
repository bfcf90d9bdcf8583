// The only place that talks to the operating system: files, the console streams and the
// signals that end a run. A port to another system replaces system_io.cpp alone.
#pragma once

#include <cstddef>
#include <string>

struct OutputWriter;

inline constexpr int kStandardInput = 0;
inline constexpr int kStandardOutput = 1;
inline constexpr int kStandardError = 2;

// Returns a descriptor open for reading, or -1 when the file is missing, unreadable or a directory.
int open_for_reading(const std::string& name);

// Returns a descriptor open for writing on the file, created or truncated; -1 on failure.
int create_for_writing(const std::string& name);

// Returns false when closing reported an error (for an output file: data may be lost).
bool close_file(int fd);

// True when `name` denotes the same file as the open descriptor `fd` (links, other spellings).
bool names_same_file(int fd, const std::string& name);

// Returns the number of bytes read, 0 at the end of the file, -1 on a read error; retries
// interrupted reads.
std::ptrdiff_t read_from(int fd, char* into, std::size_t capacity);

// Returns false unless every byte was written; retries interrupted and partial writes.
bool write_to(int fd, const char* bytes, std::size_t count);

// Asks that [memory, memory + bytes), aligned to kHugePage, be backed by huge pages where the
// system has them: lookups all over a large table then miss the address translation cache
// far less often. Only a hint; nothing fails when it is not taken.
inline constexpr std::size_t kHugePage = std::size_t{2} << 20;
void advise_huge_pages(void* memory, std::size_t bytes);

// Makes a broken pipe an ordinary write error instead of a silent end of the process.
void ignore_broken_pipe();

// From now on SIGINT, SIGTERM and SIGHUP first write the writer's completed lines, then end
// the process by the same signal. Null stops that.
void flush_on_exit_signals(OutputWriter* writer);

// Holds those signals back while a writer's buffer is written or moved, so the handler never
// sees a half-changed buffer nor writes a block twice.
void hold_exit_signals();
void release_exit_signals();

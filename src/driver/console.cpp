#include "console.h"

#include <cstring>

#include "system_io.h"

namespace {

void write_text(Console& console, int fd, std::string_view text) {
    while (!text.empty()) {
        const void* lf = std::memchr(text.data(), '\n', text.size());
        std::size_t plain =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text.data()) : text.size();
        if (!write_to(fd, text.data(), plain)) console.output_failed = true;
        if (lf == nullptr) return;
        if (!write_to(fd, "\r\n", 2)) console.output_failed = true;
        text.remove_prefix(plain + 1);
    }
}

// Returns the next character of standard input, CR skipped, or -1 at the end.
int read_character(Console& console) {
    while (!console.input_ended) {
        char byte;
        if (read_from(kStandardInput, &byte, 1) != 1 || byte == '\x1a') {  // an error ends it too
            console.input_ended = true;
        } else if (byte != '\r') {
            return static_cast<unsigned char>(byte);
        }
    }
    return -1;
}

}  // namespace

void say(Console& console, std::string_view text, std::string_view name, bool line_end, int fd) {
    write_text(console, fd, text);
    write_text(console, fd, name);
    if (line_end) write_text(console, fd, "\n");
}

std::string read_name(Console& console) {
    std::string name;
    for (int c; (c = read_character(console)) != -1 && c != '\n';)
        name.push_back(static_cast<char>(c));
    return name;
}

void wait_for_enter(Console& console) { read_character(console); }

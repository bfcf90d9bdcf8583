#include "line_fields.h"

#include <algorithm>

#include "byte_words.h"

namespace {

// Returns a word with the high bit set in the bytes of `word` that may be separators. The
// lowest flag of each mask is exact, so the lowest of both is the first separator.
std::uint64_t separators(std::uint64_t word) {
    return zero_bytes(word ^ (' ' * kEveryByte)) | zero_bytes(word ^ ('\t' * kEveryByte));
}

// Returns the first separator in [at, end), or end. Eight bytes at a time, the last word
// reaching past `end`: a location or an operation usually ends within the first word.
const char* skip_characters(const char* at, const char* end) {
    for (;; at += 8) {
        std::uint64_t found = separators(load_word(at));
        if (found != 0) return std::min(at + first_byte(found), end);
        if (end - at <= 8) return end;
    }
}

const char* skip_separators(const char* at, const char* end) {
    while (at != end && is_separator(*at)) ++at;
    return at;
}

std::string_view between(const char* from, const char* to) {
    return {from, static_cast<std::size_t>(to - from)};
}

}  // namespace

// The four searches of the splitting rule, each starting where the one before stopped; a
// search that reaches the end of the line finds nothing, and the fields after it are missing.
LineFields split_fields(std::string_view line) {
    LineFields fields;
    const char* end = line.data() + line.size();
    const char* location_end = skip_characters(line.data(), end);
    fields.location = between(line.data(), location_end);
    const char* operation_start = skip_separators(location_end, end);
    if (operation_start == end) return fields;
    const char* operation_end = skip_characters(operation_start, end);
    fields.operation = between(operation_start, operation_end);
    fields.has_operation = true;
    const char* operand_start = skip_separators(operation_end, end);
    if (operand_start == end) return fields;
    fields.operand = between(operand_start, end);
    fields.has_operand = true;
    return fields;
}

bool is_one_word(std::string_view text) {
    if (text.size() <= 16) {
        // Nearly every operand: two whole words, the flags past the end masked off, and no
        // branch that depends on where a separator stands. Only the lowest flag of a word is
        // exact, but any flag within the text means the lowest one is too.
        std::uint64_t first = load_word(text.data());
        std::uint64_t second = load_word(text.data() + 8);
        std::uint64_t in_first =
            separators(first) & low_bytes(std::min<std::size_t>(text.size(), 8));
        std::uint64_t in_second =
            separators(second) & low_bytes(text.size() > 8 ? text.size() - 8 : 0);
        return (in_first | in_second) == 0;
    }
    return skip_characters(text.data(), text.data() + text.size()) == text.data() + text.size();
}

std::string_view location_of(std::string_view line) {
    return between(line.data(), skip_characters(line.data(), line.data() + line.size()));
}

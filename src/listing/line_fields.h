// Splits a listing line into its location, operation and operand. Only space and TAB
// separate fields; every other byte, NUL and bytes above 0x7F included, is a character.
// Every line given here must be followed by kReadAhead readable bytes (see byte_words.h).
#pragma once

#include <string_view>

struct LineFields {
    std::string_view location;   // before the first separator; empty when the line starts with one
    std::string_view operation;  // the first word after the first separator
    std::string_view operand;    // from the next word to the end of the line, separators and all
    bool has_operation = false;
    bool has_operand = false;
};

inline bool is_separator(char byte) { return byte == ' ' || byte == '\t'; }

// Returns the fields of `line`; the views point into `line`.
LineFields split_fields(std::string_view line);

// Returns the location alone: the bytes before the first separator, or the whole line.
std::string_view location_of(std::string_view line);

// True when `text` holds no separator, so it could be some line's location.
bool is_one_word(std::string_view text);

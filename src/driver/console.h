// The console dialogue: fixed messages out, typed names and the closing Enter in. Both
// directions follow the text rules of listings: CR LF line ends out, CR dropped and Ctrl-Z
// ending the input on the way in.
#pragma once

#include <string>
#include <string_view>

struct Console {
    bool input_ended = false;    // end of input or Ctrl-Z seen: every later read gives nothing
    bool output_failed = false;  // a write to standard output failed
};

inline constexpr std::string_view kInputFile = "Input file: ";
inline constexpr std::string_view kGiveInputName = "Give input name: ";
inline constexpr std::string_view kCantOpen = "Can't open file: ";
inline constexpr std::string_view kCantRead = "Can't read file: ";
inline constexpr std::string_view kOutputFile = "Output file: ";
inline constexpr std::string_view kGiveOutputName = "Give output name: ";
inline constexpr std::string_view kCantCreate = "Can't open/create file: ";
inline constexpr std::string_view kCantWrite = "Can't write file: ";
inline constexpr std::string_view kClosingPrompt = "Succes. Please press enter: ";
inline constexpr std::string_view kAbnormalEnd = "\nAbnormal program termination\n";

// Writes `text` then `name` to standard output (to `fd` when given), every LF as CR LF, and
// a line end when `line_end` is set. Allocates nothing, so it serves when memory is gone.
void say(Console& console, std::string_view text, std::string_view name = {}, bool line_end = false,
         int fd = 1);

// Returns the bytes typed up to the next LF, CR dropped, nothing trimmed; empty at the end.
std::string read_name(Console& console);

// Reads one character, the closing Enter; returns at once at the end of the input.
void wait_for_enter(Console& console);

// Runs the three passes over a listing held in memory, as the program runs them over a file.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

// Returns the relabelled listing of `input`, each read taking at most `most_per_read` bytes
// into a reader whose block is `block` bytes.
std::string relabel_in_memory(std::string_view input,
                              std::size_t most_per_read = std::numeric_limits<std::size_t>::max(),
                              std::size_t block = std::size_t{256} * 1024);

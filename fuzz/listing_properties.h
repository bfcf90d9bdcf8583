// What must hold for every input, whatever its bytes: the checks the fuzzers make, and the
// replay of their corpus in the test suite.
#pragma once

#include <string>
#include <string_view>

// Relabels `input` the plain way: the whole text in memory, std::map for the table, and
// the field rule written out with find_first_of. The fast program must agree byte for byte.
std::string reference_relabel(std::string_view input);

// Relabels `input` with the program's own passes, reading it in pieces chosen by `shape`, and
// checks the result against the reference and the layout every output has. Returns an empty
// string when all holds, else what failed.
std::string check_relabel(std::string_view input, unsigned char shape);

// Checks split_fields on `line` against the four-position definition. Returns an empty
// string when all holds, else what failed.
std::string check_split(std::string_view line);

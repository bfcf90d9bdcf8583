// A listing whose every line labels itself ("n JMP n"), and what relabel makes of it: one
// label a line, in file order, so it tests label numbering at any count.
#pragma once

#include <cstdio>
#include <string>

inline std::string self_referencing_lines(int count, const char* line_end = "\n") {
    std::string listing;
    for (int i = 0; i < count; ++i)
        listing.append(std::to_string(i))
            .append(" JMP ")
            .append(std::to_string(i))
            .append(line_end);
    return listing;
}

inline std::string self_referencing_output(int count) {
    std::string output;
    char line[64];
    for (int i = 0; i < count; ++i)
        output.append(line, static_cast<std::size_t>(
                                std::snprintf(line, sizeof line, "L%05d\tJMP\tL%05d\r\n", i, i)));
    return output;
}

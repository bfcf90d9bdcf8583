#include "line_fields.h"

#include <cstddef>

namespace {

constexpr std::size_t kNone = std::string_view::npos;

std::size_t find_separator(std::string_view line, std::size_t from) {
    if (from == kNone) return kNone;
    for (std::size_t i = from; i < line.size(); ++i)
        if (is_separator(line[i])) return i;
    return kNone;
}

std::size_t find_character(std::string_view line, std::size_t from) {
    if (from == kNone) return kNone;
    for (std::size_t i = from; i < line.size(); ++i)
        if (!is_separator(line[i])) return i;
    return kNone;
}

}  // namespace

LineFields split_fields(std::string_view line) {
    LineFields fields;
    std::size_t location_end = find_separator(line, 0);
    std::size_t operation_start = find_character(line, location_end);
    std::size_t operation_end = find_separator(line, operation_start);
    std::size_t operand_start = find_character(line, operation_end);
    fields.location = line.substr(0, location_end);
    if (operation_start != kNone) {
        fields.has_operation = true;
        fields.operation = line.substr(operation_start, operation_end == kNone
                                                            ? kNone
                                                            : operation_end - operation_start);
    }
    if (operand_start != kNone) {
        fields.has_operand = true;
        fields.operand = line.substr(operand_start);
    }
    return fields;
}

std::string_view location_of(std::string_view line) {
    return line.substr(0, find_separator(line, 0));
}

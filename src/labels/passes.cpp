#include "passes.h"

#include <cstdint>
#include <limits>
#include <new>

#include "line_fields.h"

void collect_operands(LineReader& input, LabelTable& table) {
    std::string_view line;
    while (read_line(input, line)) {
        if (line.empty()) continue;
        LineFields fields = split_fields(line);
        if (fields.has_operand) mark_referenced(table, fields.operand);
    }
}

void number_locations(LineReader& input, LabelTable& table) {
    std::int32_t next_label = 0;
    std::string_view line;
    while (read_line(input, line)) {
        if (line.empty()) continue;
        LabelSlot* slot = find_name(table, location_of(line));
        if (slot == nullptr || slot->label != kMarker) continue;
        // Each label needs a distinct referenced name in memory, so this is out of memory too.
        if (next_label == std::numeric_limits<std::int32_t>::max()) throw std::bad_alloc();
        slot->label = next_label++;
    }
}

namespace {

void put_label(OutputWriter& output, std::int64_t label) {
    char text[kMaxLabelText];
    put_bytes(output, std::string_view(text, format_label(label, text)));
}

}  // namespace

bool rewrite_listing(LineReader& input, const LabelTable& table, OutputWriter& output) {
    input.flush_before_read = &output;
    std::string_view line;
    while (read_line(input, line)) {
        if (line.empty()) continue;
        LineFields fields = split_fields(line);
        if (std::int64_t label = label_of(table, fields.location); label >= 0)
            put_label(output, label);
        put_byte(output, '\t');
        if (fields.has_operation) {
            put_bytes(output, fields.operation);
            if (fields.has_operand) {
                put_byte(output, '\t');
                if (std::int64_t label = label_of(table, fields.operand); label >= 0)
                    put_label(output, label);
                else
                    put_bytes(output, fields.operand);
            }
        }
        end_line(output);
        if (output.failed) break;
    }
    input.flush_before_read = nullptr;
    return flush_writer(output);
}

#include "passes.h"

#include <cstdint>
#include <limits>
#include <new>

#include "line_fields.h"

// Each pass takes the lines in batches and keeps a few names ahead: it finds a line's names
// and starts loading their slots, and meanwhile looks up the names of a line some way back
// (kAhead names in all), whose slots have had time to arrive. The table's cache misses
// overlap, and they are spread evenly over the pass rather than asked for in bursts.
//
// A location ends at the first separator, so an operand with a separator in it (such as
// "R1, R2", or one with a trailing blank) can never be a location and never gets a label:
// the table need not hold it, and the rewriting pass need not look it up.

namespace {

constexpr std::size_t kBatch = 128;
constexpr std::size_t kAhead = 16;  // names whose slots are on their way

}  // namespace

[[gnu::flatten]] void collect_operands(LineReader& input, LabelTable& table) {
    std::string_view lines[kBatch];
    NameKey operands[kBatch];
    while (std::size_t count = read_lines(input, lines, kBatch)) {
        std::size_t found = 0;
        std::size_t done = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (lines[i].empty()) continue;
            LineFields fields = split_fields(lines[i]);
            if (!fields.has_operand || !is_one_word(fields.operand)) continue;
            operands[found] = make_key(fields.operand);
            prefetch_slot(table, operands[found++]);
            if (found - done > kAhead) mark_referenced(table, operands[done++]);
        }
        while (done < found) mark_referenced(table, operands[done++]);
    }
}

[[gnu::flatten]] void number_locations(LineReader& input, LabelTable& table) {
    std::int32_t next_label = 0;
    auto number = [&](const NameKey& location) {
        LabelSlot* slot = find_name(table, location);
        if (slot == nullptr || slot->label != kMarker) return;
        // Each label needs a distinct name in memory, so running out of numbers is
        // running out of memory.
        if (next_label == std::numeric_limits<std::int32_t>::max()) throw std::bad_alloc();
        slot->label = next_label++;
    };
    std::string_view lines[kBatch];
    NameKey locations[kBatch];
    while (std::size_t count = read_lines(input, lines, kBatch)) {
        std::size_t found = 0;
        std::size_t done = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (lines[i].empty()) continue;
            locations[found] = make_key(location_of(lines[i]));
            prefetch_slot(table, locations[found++]);
            if (found - done > kAhead) number(locations[done++]);
        }
        while (done < found) number(locations[done++]);
    }
    keep_labelled_only(table);
}

[[gnu::flatten]] bool rewrite_listing(LineReader& input, const LabelTable& table,
                                      OutputWriter& output) {
    std::string_view lines[kBatch];
    LineFields fields[kBatch];
    NameKey locations[kBatch];
    NameKey operands[kBatch];
    bool operand_is_word[kBatch];  // the operand may name a location: look it up
    auto write_line = [&](std::size_t i) {
        const LineFields& line = fields[i];
        // The output line is never longer than the input line with two labels for names.
        char* at = room_for(output, lines[i].size() + 2 * kMaxLabelText + 4);
        if (std::int64_t label = label_of(table, locations[i]); label >= 0)
            at += format_label(label, at);
        *at++ = '\t';
        if (line.has_operation) {
            at = copy_text(at, line.operation);
            if (line.has_operand) {
                *at++ = '\t';
                std::int64_t label = operand_is_word[i] ? label_of(table, operands[i]) : -1;
                if (label >= 0)
                    at += format_label(label, at);
                else
                    at = copy_text(at, line.operand);
            }
        }
        commit(output, at);
        end_line(output);
    };
    input.flush_before_read = &output;
    while (std::size_t count = read_lines(input, lines, kBatch)) {
        std::size_t found = 0;
        std::size_t done = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (lines[i].empty()) continue;
            lines[found] = lines[i];
            fields[found] = split_fields(lines[i]);
            locations[found] = make_key(fields[found].location);
            prefetch_slot(table, locations[found]);
            operand_is_word[found] =
                fields[found].has_operand && is_one_word(fields[found].operand);
            if (operand_is_word[found]) {
                operands[found] = make_key(fields[found].operand);
                prefetch_slot(table, operands[found]);
            }
            if (++found - done > kAhead / 2) write_line(done++);  // two names a line
        }
        while (done < found) write_line(done++);
        if (output.failed) break;
    }
    input.flush_before_read = nullptr;
    return flush_writer(output);
}

#include "listing_properties.h"

#include <cstdio>
#include <map>
#include <vector>

#include "in_memory_run.h"
#include "line_fields.h"
#include "padded_text.h"

namespace {

constexpr const char* kSeparators = " \t";
constexpr std::size_t kNone = std::string::npos;

struct ReferenceFields {
    std::string location, operation, operand;
    bool has_operation = false, has_operand = false;
};

// The four searches, each from where the previous one stopped.
ReferenceFields reference_split(const std::string& line) {
    auto separator_at_or_after = [&](std::size_t from) {
        return from == kNone ? kNone : line.find_first_of(kSeparators, from);
    };
    auto character_at_or_after = [&](std::size_t from) {
        return from == kNone ? kNone : line.find_first_not_of(kSeparators, from);
    };
    std::size_t p1 = separator_at_or_after(0);
    std::size_t p2 = character_at_or_after(p1);
    std::size_t p3 = separator_at_or_after(p2);
    std::size_t p4 = character_at_or_after(p3);
    ReferenceFields fields;
    fields.location = line.substr(0, p1);
    if (p2 != kNone) {
        fields.has_operation = true;
        fields.operation = line.substr(p2, p3 == kNone ? kNone : p3 - p2);
    }
    if (p4 != kNone) {
        fields.has_operand = true;
        fields.operand = line.substr(p4);
    }
    return fields;
}

std::vector<std::string> reference_lines(std::string_view input) {
    std::string text;
    for (char c : input) {
        if (c == '\x1a') break;
        if (c != '\r') text += c;
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t lf; (lf = text.find('\n', start)) != kNone; start = lf + 1)
        lines.push_back(text.substr(start, lf - start));
    lines.push_back(text.substr(start));
    std::vector<std::string> nonempty;
    for (std::string& line : lines)
        if (!line.empty()) nonempty.push_back(std::move(line));
    return nonempty;
}

std::string label_text(long number) {
    char text[32];
    std::snprintf(text, sizeof text, "L%05ld", number);
    return text;
}

bool is_label(std::string_view text) {
    if (text.size() < 6 || text[0] != 'L') return false;
    for (char c : text.substr(1))
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::string reference_relabel(std::string_view input) {
    std::vector<std::string> lines = reference_lines(input);
    std::map<std::string, std::string> table;
    for (const std::string& line : lines) {
        ReferenceFields fields = reference_split(line);
        if (fields.has_operand) table[fields.operand].assign(1, 'L');
    }
    long counter = 0;
    for (const std::string& line : lines) {
        std::string& value = table[reference_split(line).location];
        if (value == "L") value = label_text(counter++);
    }
    std::string output;
    for (const std::string& line : lines) {
        ReferenceFields fields = reference_split(line);
        const std::string& location_value = table[fields.location];
        if (location_value.size() >= 2) output += location_value;
        output += '\t';
        if (fields.has_operation) {
            output += fields.operation;
            if (fields.has_operand) {
                const std::string& operand_value = table[fields.operand];
                output += '\t';
                output += operand_value.size() >= 2 ? operand_value : fields.operand;
            }
        }
        output += "\r\n";
    }
    return output;
}

std::string check_relabel(std::string_view input, unsigned char shape) {
    std::size_t most_per_read = 1 + shape % 64;
    std::size_t block = 1 + shape / 64 * 7;
    std::string output = relabel_in_memory(input, most_per_read, block);
    std::string expected = reference_relabel(input);
    if (output != expected) return "output differs from the reference";

    // The layout, checked on the output alone.
    std::size_t lines = 0;
    long next_label = 0;
    for (std::size_t start = 0; start < output.size(); ++lines) {
        std::size_t end = output.find("\r\n", start);
        if (end == kNone) return "a line without CR LF";
        std::string_view line(output.data() + start, end - start);
        if (line.find_first_of("\r\n") != kNone) return "a CR or LF inside a line";
        std::string_view location = line.substr(0, line.find('\t'));
        if (location.size() == line.size()) return "a line without TAB";
        if (!location.empty()) {
            if (!is_label(location)) return "a location column that is not a label";
            if (location == label_text(next_label))
                ++next_label;
            else if (std::stol(std::string(location.substr(1))) > next_label)
                return "labels out of order or with a gap";
        }
        start = end + 2;
    }
    if (lines != reference_lines(input).size()) return "not one output line per input line";
    return "";
}

std::string check_split(std::string_view line) {
    if (line.empty()) return "";
    ReferenceFields expected = reference_split(std::string(line));
    PaddedText padded(line);  // as a line from the reader: bytes after it that are not its own
    LineFields fields = split_fields(padded.view());
    if (fields.location != expected.location || location_of(padded.view()) != expected.location)
        return "location differs";
    if (fields.has_operation != expected.has_operation || fields.operation != expected.operation)
        return "operation differs";
    if (fields.has_operand != expected.has_operand || fields.operand != expected.operand)
        return "operand differs";
    return "";
}

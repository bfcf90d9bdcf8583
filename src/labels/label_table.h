// The table that links the three passes: every operand text seen, and for each either the
// marker (referenced, not yet labelled) or the number of its label. Lookups never insert.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::int32_t kMarker = -1;  // referenced by an operand, no label yet

struct LabelSlot {
    std::uint64_t key_offset;  // where the name stands in LabelTable::names
    std::uint32_t tag;         // high bits of the name's hash, never 0; 0 marks a free slot
    std::int32_t label;        // kMarker, or the label's number
};

struct LabelTable {
    std::vector<LabelSlot> slots;  // open addressing, linear probing; size a power of two
    std::string names;             // every name once: its length (8 bytes) then its bytes
    std::size_t entries = 0;       // used slots; kept at most 5/8 of slots.size()
};

// Adds `name` with the marker unless it is there already. Throws std::bad_alloc.
void mark_referenced(LabelTable& table, std::string_view name);

// Returns the slot holding `name`, or nullptr when no operand was ever `name`.
LabelSlot* find_name(LabelTable& table, std::string_view name);
const LabelSlot* find_name(const LabelTable& table, std::string_view name);

// Returns the label number of `name`, or -1 when it has none.
inline std::int64_t label_of(const LabelTable& table, std::string_view name) {
    const LabelSlot* slot = find_name(table, name);
    return slot ? slot->label : -1;
}

// Returns the hash of a name.
std::uint64_t hash_name(std::string_view name);

// Largest label text: "L", then up to 19 digits.
inline constexpr std::size_t kMaxLabelText = 20;

// Writes the label text of `number` ("L" and at least five digits, zero padded) to `out`,
// which holds kMaxLabelText bytes; returns its length.
std::size_t format_label(std::int64_t number, char* out);

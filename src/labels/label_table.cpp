#include "label_table.h"

#include <cstring>

namespace {

constexpr std::size_t kFirstSize = 1024;
constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

std::uint32_t tag_of(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32) | 1u; }

std::string_view name_at(const LabelTable& table, std::uint64_t offset) {
    std::uint64_t length;
    std::memcpy(&length, table.names.data() + offset, sizeof length);
    return std::string_view(table.names.data() + offset + sizeof length, length);
}

// Returns the index of the slot that holds `name`, or of the free slot where it belongs.
// The table has at least one free slot.
std::size_t probe(const LabelTable& table, std::string_view name, std::uint64_t hash) {
    std::uint32_t tag = tag_of(hash);
    std::size_t mask = table.slots.size() - 1;
    std::size_t i = hash & mask;
    for (;; i = (i + 1) & mask) {
        const LabelSlot& slot = table.slots[i];
        if (slot.tag == 0 || (slot.tag == tag && name_at(table, slot.key_offset) == name)) return i;
    }
}

void place(std::vector<LabelSlot>& slots, std::uint64_t hash, LabelSlot slot) {
    std::size_t mask = slots.size() - 1;
    std::size_t i = hash & mask;
    while (slots[i].tag != 0) i = (i + 1) & mask;
    slots[i] = slot;
}

void grow(LabelTable& table) {
    std::vector<LabelSlot> bigger(table.slots.empty() ? kFirstSize : 2 * table.slots.size(),
                                  LabelSlot{0, 0, kMarker});
    for (const LabelSlot& slot : table.slots)
        if (slot.tag != 0) place(bigger, hash_name(name_at(table, slot.key_offset)), slot);
    table.slots.swap(bigger);
}

}  // namespace

std::uint64_t hash_name(std::string_view name) {
    const char* bytes = name.data();
    std::size_t left = name.size();
    std::uint64_t hash = left * kMultiplier;
    auto mix = [&hash](std::uint64_t word) {
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 29;
    };
    for (; left >= 8; bytes += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes, 8);
        mix(word);
    }
    if (left != 0) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes, left);
        mix(word);
    }
    hash *= kMultiplier;
    return hash ^ (hash >> 32);
}

const LabelSlot* find_name(const LabelTable& table, std::string_view name) {
    if (table.slots.empty()) return nullptr;
    const LabelSlot& slot = table.slots[probe(table, name, hash_name(name))];
    return slot.tag != 0 ? &slot : nullptr;
}

LabelSlot* find_name(LabelTable& table, std::string_view name) {
    return const_cast<LabelSlot*>(find_name(static_cast<const LabelTable&>(table), name));
}

void mark_referenced(LabelTable& table, std::string_view name) {
    if (8 * (table.entries + 1) > 5 * table.slots.size()) grow(table);
    std::uint64_t hash = hash_name(name);
    LabelSlot& slot = table.slots[probe(table, name, hash)];
    if (slot.tag != 0) return;
    std::uint64_t offset = table.names.size();
    std::uint64_t length = name.size();
    table.names.append(reinterpret_cast<const char*>(&length), sizeof length);
    table.names.append(name);
    slot = LabelSlot{offset, tag_of(hash), kMarker};
    ++table.entries;
}

std::size_t format_label(std::int64_t number, char* out) {
    char digits[kMaxLabelText];
    std::size_t count = 0;
    auto value = static_cast<std::uint64_t>(number);
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count < 5) digits[count++] = '0';
    out[0] = 'L';
    for (std::size_t i = 0; i < count; ++i) out[1 + i] = digits[count - 1 - i];
    return count + 1;
}

#include "label_table.h"

#include <bit>
#include <cstring>
#include <new>

#include "byte_words.h"
#include "system_io.h"

namespace {

constexpr std::size_t kFirstSize = 1024;
constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
constexpr std::uint64_t kTailMultiplier = 0xC2B2AE3D27D4EB4Full;

std::uint64_t mix(std::uint64_t hash, std::uint64_t word) {
    hash = (hash ^ word) * kMultiplier;
    return hash ^ (hash >> 29);
}

std::uint64_t finish_hash(std::uint64_t hash) {
    hash *= kMultiplier;
    return hash ^ (hash >> 32);
}

// Fills a short name's head and tail from two whole words, masking off the bytes past the
// name's end (they are read: names come from lines, which have kReadAhead bytes after them).
void pack_short_name(std::string_view name, std::uint64_t& head, std::uint32_t& tail) {
    std::size_t n = name.size();
    head = load_word(name.data()) & low_bytes(n);
    std::uint64_t rest = load_word(name.data() + 8) & low_bytes(n > 8 ? n - 8 : 0);
    tail = static_cast<std::uint32_t>(rest) | (static_cast<std::uint32_t>(n) << 24);
}

// One wide multiply, folded: every bit of the name reaches both the low bits (the home slot)
// and the top ones (the tag). On the generated listings and on runs of decimal and hex
// numbers, entries sit as far from home as under a random hash.
std::uint64_t hash_short_name(std::uint64_t head, std::uint32_t tail) {
    auto product = static_cast<unsigned __int128>(head ^ (tail * kTailMultiplier)) * kMultiplier;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

std::uint64_t hash_long_name(std::string_view name) {
    std::uint64_t hash = name.size() * kMultiplier;
    std::size_t whole = name.size() & ~std::size_t{7};
    for (std::size_t i = 0; i < whole; i += 8) hash = mix(hash, load_word(name.data() + i));
    std::uint64_t rest = 0;
    std::memcpy(&rest, name.data() + whole, name.size() - whole);
    return finish_hash(mix(hash, rest));
}

std::string_view long_name_at(const LabelTable& table, std::uint64_t offset) {
    std::uint64_t length;
    std::memcpy(&length, table.names.data() + offset, sizeof length);
    return {table.names.data() + offset + sizeof length, length};
}

std::uint8_t tag_of(std::uint64_t hash) { return static_cast<std::uint8_t>(0x80 | (hash >> 57)); }

bool holds(const LabelTable& table, const LabelSlot& slot, const NameKey& key) {
    if (slot.tail != key.tail) return false;
    if (slot.tail != kLongTail) return slot.head == key.head;
    return long_name_at(table, slot.head) == key.name;
}

// Where a probe ended: at the slot that holds the name, or at the free slot where it belongs.
struct ProbeEnd {
    std::size_t index;
    bool found;
};

// Probes 8 tags at a time. The table has at least one free slot.
ProbeEnd probe(const LabelTable& table, const NameKey& key) {
    std::size_t mask = table.slots.size() - 1;
    std::uint64_t wanted = tag_of(key.hash) * kEveryByte;  // the tag in every byte
    for (std::size_t at = key.hash & mask;; at = (at + 8) & mask) {
        std::uint64_t group = load_word(&table.tags[at]);
        std::uint64_t free = ~group & kHighBits;  // exact: a used tag has its high bit set
        // A false alarm among the matches is weeded out by comparing the slot.
        std::uint64_t matches = zero_bytes(group ^ wanted);
        matches &= (free & -free) - 1;  // only tags before the first free slot (all when none)
        for (; matches != 0; matches &= matches - 1) {
            std::size_t i = (at + first_byte(matches)) & mask;
            if (holds(table, table.slots[i], key)) return {i, true};
        }
        if (free != 0) return {(at + first_byte(free)) & mask, false};
    }
}

void set_tag(LabelTable& table, std::size_t index, std::uint8_t tag) {
    table.tags[index] = tag;
    if (index < 8) table.tags[table.slots.size() + index] = tag;
}

std::uint64_t hash_of_slot(const LabelTable& table, const LabelSlot& slot) {
    if (slot.tail == kLongTail) return hash_long_name(long_name_at(table, slot.head));
    return hash_short_name(slot.head, slot.tail);
}

// Calls `visit` with the index of every used slot, in order. Eight tags at a time, so that a
// free slot costs no branch of its own.
template <typename Visit>
void for_each_used(const LabelTable& table, Visit visit) {
    for (std::size_t group = 0; group < table.slots.size(); group += 8) {
        for (std::uint64_t used = load_word(&table.tags[group]) & kHighBits; used != 0;
             used &= used - 1)
            visit(group + first_byte(used));
    }
}

// Moves the entries that `keep` accepts into new slots of the given size; long names stay
// where they are in `names`.
template <typename Keep>
void move_entries(LabelTable& table, std::size_t size, Keep keep) {
    LabelTable moved;
    moved.slots.resize(size);
    moved.tags.assign(size + 8, 0);
    std::size_t mask = size - 1;
    for_each_used(table, [&](std::size_t i) {
        const LabelSlot& slot = table.slots[i];
        if (!keep(slot)) return;
        std::uint64_t hash = hash_of_slot(table, slot);
        std::size_t at = hash & mask;
        std::uint64_t free;
        while ((free = ~load_word(&moved.tags[at]) & kHighBits) == 0) at = (at + 8) & mask;
        at = (at + first_byte(free)) & mask;
        moved.slots[at] = slot;
        set_tag(moved, at, tag_of(hash));
        ++moved.entries;
    });
    table.slots.swap(moved.slots);
    table.tags.swap(moved.tags);
    table.entries = moved.entries;
}

void grow(LabelTable& table) {
    move_entries(table, table.slots.empty() ? kFirstSize : 2 * table.slots.size(),
                 [](const LabelSlot&) { return true; });
}

}  // namespace

void* allocate_table_memory(std::size_t bytes) {
    if (bytes < kHugePage) return ::operator new(bytes);
    if (bytes > std::size_t{1} << 62) throw std::bad_alloc();
    std::size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    void* memory = ::operator new (rounded, std::align_val_t{kHugePage});
    advise_huge_pages(memory, rounded);
    return memory;
}

void free_table_memory(void* memory, std::size_t bytes) {
    if (bytes < kHugePage)
        ::operator delete(memory);
    else
        ::operator delete (memory, std::align_val_t{kHugePage});
}

NameKey make_key(std::string_view name) {
    NameKey key{name, 0, 0, kLongTail};
    if (name.size() <= kShortName) {
        pack_short_name(name, key.head, key.tail);
        key.hash = hash_short_name(key.head, key.tail);
    } else {
        key.hash = hash_long_name(name);
    }
    return key;
}

void keep_labelled_only(LabelTable& table) {
    std::size_t labelled = 0;
    for_each_used(table, [&](std::size_t i) { labelled += table.slots[i].label != kMarker; });
    std::size_t size = kFirstSize;
    while (8 * labelled > 5 * size) size *= 2;
    if (size >= table.slots.size()) return;  // as large as before: dropping gains nothing
    move_entries(table, size, [](const LabelSlot& slot) { return slot.label != kMarker; });
}

const LabelSlot* find_name(const LabelTable& table, const NameKey& key) {
    if (table.slots.empty()) return nullptr;
    ProbeEnd end = probe(table, key);
    return end.found ? &table.slots[end.index] : nullptr;
}

void mark_referenced(LabelTable& table, const NameKey& key) {
    if (8 * (table.entries + 1) > 5 * table.slots.size()) grow(table);
    ProbeEnd end = probe(table, key);
    if (end.found) return;
    LabelSlot slot{key.head, key.tail, kMarker};
    if (slot.tail == kLongTail) {
        std::uint64_t length = key.name.size();
        slot.head = table.names.size();
        table.names.append(reinterpret_cast<const char*>(&length), sizeof length);
        table.names.append(key.name);
    }
    table.slots[end.index] = slot;
    set_tag(table, end.index, tag_of(key.hash));
    ++table.entries;
}

std::size_t format_label(std::int64_t number, char* out) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    auto value = static_cast<std::uint64_t>(number);
    out[0] = 'L';
    if (value < 1000000) {
        // The five or six digits of nearly every label, with the same work for both, so that
        // a listing with labels of both lengths costs no mispredicted branches.
        char digits[12] = {};  // six digits at [2, 8)
        std::memcpy(digits + 2, kPairs + 2 * (value / 10000), 2);
        std::memcpy(digits + 4, kPairs + 2 * (value / 100 % 100), 2);
        std::memcpy(digits + 6, kPairs + 2 * (value % 100), 2);
        std::size_t count = value < 100000 ? 5 : 6;
        std::memcpy(out + 1, digits + 8 - count, 6);
        return count + 1;
    }
    // Two digits at a time, from the last.
    std::size_t count = 7;
    for (std::uint64_t above = 10000000; count < 19 && value >= above; above *= 10) ++count;
    std::size_t at = count;  // the last digit not yet written
    for (; at >= 2; at -= 2, value /= 100) std::memcpy(out + at - 1, kPairs + 2 * (value % 100), 2);
    if (at == 1) out[1] = static_cast<char>('0' + value);
    return count + 1;
}

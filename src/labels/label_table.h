// The table that links the three passes: every operand text seen, and for each either the
// marker (referenced, not yet labelled) or the number of its label. Lookups never insert.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

inline constexpr std::int32_t kMarker = -1;  // referenced by an operand, no label yet

inline constexpr std::size_t kShortName = 11;  // names up to this long live in their slot

// A name as the table looks for it, hashed once so that its place can be fetched early.
struct NameKey {
    std::string_view name;
    std::uint64_t hash;
    std::uint64_t head;  // as in LabelSlot; 0 for a long name
    std::uint32_t tail;  // as in LabelSlot
};

// 16 bytes, so four slots fill a cache line and none straddles two.
struct alignas(16) LabelSlot {
    std::uint64_t head;  // a short name's first 8 bytes, zero padded; a long name's offset in
                         // `names`
    std::uint32_t tail;  // a short name's bytes 8 to 10, zero padded, and its length in the top
                         // byte; kLongTail for a long name
    std::int32_t label;  // kMarker, or the label's number
};

inline constexpr std::uint32_t kLongTail = 0xFFu << 24;

// Returns memory for the table's arrays. An array of a huge page or more is rounded up to
// whole huge pages, aligned to them and offered huge pages, since probes land anywhere in it.
// Throws std::bad_alloc.
void* allocate_table_memory(std::size_t bytes);
void free_table_memory(void* memory, std::size_t bytes);

template <typename T>
struct TableAllocator {
    using value_type = T;
    TableAllocator() = default;
    template <typename U>
    TableAllocator(const TableAllocator<U>&) {}
    T* allocate(std::size_t count) {
        return static_cast<T*>(allocate_table_memory(count * sizeof(T)));
    }
    void deallocate(T* memory, std::size_t count) { free_table_memory(memory, count * sizeof(T)); }
    // A new element is left uninitialised unless given a value: a slot is read only where its
    // tag says it is used, so zeroing a whole new table would be wasted work.
    template <typename U>
    void construct(U* at) noexcept {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
    friend bool operator==(const TableAllocator&, const TableAllocator&) { return true; }
};

// Open addressing with linear probing. Each slot has a one-byte tag in `tags`, 0 when the
// slot is free, else 0x80 and 7 bits of the name's hash; the tags are small enough to stay in
// the cache, so most lookups of an absent name never touch `slots`.
struct LabelTable {
    // slots.size() + 8 bytes; the last 8 repeat the first 8, so 8 tags can be read at once
    // from any slot
    std::vector<std::uint8_t, TableAllocator<std::uint8_t>> tags;
    std::vector<LabelSlot, TableAllocator<LabelSlot>> slots;  // size 0, or a power of two >= 1024
    std::string names;        // each long name once: its length (8 bytes), then its bytes
    std::size_t entries = 0;  // used slots; at most 5/8 of slots.size()
};

// Returns the key of `name`, which must be followed by kReadAhead readable bytes, as every
// line from a LineReader and every field of one is.
NameKey make_key(std::string_view name);

// Asks the processor to start loading the tags and the first slot where `key` belongs.
inline void prefetch_slot(const LabelTable& table, const NameKey& key) {
    if (table.slots.empty()) return;
    std::size_t home = key.hash & (table.slots.size() - 1);
    __builtin_prefetch(&table.slots[home]);
    __builtin_prefetch(&table.tags[home]);
}

// Adds the name with the marker unless it is there already. Throws std::bad_alloc.
void mark_referenced(LabelTable& table, const NameKey& key);

// Drops every name that has no label, which no later lookup needs, when the rest fits in a
// smaller table: its lookups then touch less memory. Throws std::bad_alloc.
void keep_labelled_only(LabelTable& table);

// Returns the slot holding the name, or nullptr when no operand was ever that name.
const LabelSlot* find_name(const LabelTable& table, const NameKey& key);
inline LabelSlot* find_name(LabelTable& table, const NameKey& key) {
    return const_cast<LabelSlot*>(find_name(static_cast<const LabelTable&>(table), key));
}

// Returns the label number of the name, or -1 when it has none.
inline std::int64_t label_of(const LabelTable& table, const NameKey& key) {
    const LabelSlot* slot = find_name(table, key);
    return slot ? slot->label : -1;
}

// Largest label text: "L", then up to 19 digits.
inline constexpr std::size_t kMaxLabelText = 20;

// Writes the label text of `number` ("L" and at least five digits, zero padded) to `out`,
// which holds kMaxLabelText bytes; returns its length.
std::size_t format_label(std::int64_t number, char* out);

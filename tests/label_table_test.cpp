#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "label_table.h"
#include "padded_text.h"

namespace {

// A name's key, made as the passes make it: from text with bytes after it that are not its own.
struct Key {
    PaddedText text;
    NameKey key;
    explicit Key(std::string_view name) : text(name), key(make_key(text.view())) {}
};

TEST(FormatLabel, FiveDigitsZeroPaddedThenMoreWhenNeeded) {
    const std::pair<std::int64_t, const char*> cases[] = {{0, "L00000"},
                                                          {42, "L00042"},
                                                          {99999, "L99999"},
                                                          {100000, "L100000"},
                                                          {999999, "L999999"},
                                                          {1000000, "L1000000"},
                                                          {1234567, "L1234567"},
                                                          {9999999999, "L9999999999"},
                                                          {INT64_MAX, "L9223372036854775807"}};
    for (auto [number, text] : cases) {
        char out[kMaxLabelText];
        EXPECT_EQ(std::string(out, format_label(number, out)), text);
    }
}

TEST(LabelTable, NamesAreExactByteStrings) {
    LabelTable table;
    // Around every length where the table stores a name differently (3, 4, 8, 11, 12 bytes),
    // and names that differ only by trailing NULs, which zero padding could confuse.
    // clang-format off
    const std::string names[] = {
        "a", "ab", "a ", "A", std::string("a\0", 2), "", "\xff", "abc", "abcd", "abcdefgh",
        "abcdefghi", "abcdefghijk", "abcdefghijkl", std::string("abcdefgh\0", 9),
        std::string("abcdefghij\0", 11), std::string("abcdefghijk\0", 12),
        std::string(100, 'z'), std::string(101, 'z')};
    // clang-format on
    for (const std::string& name : names) mark_referenced(table, Key(name).key);
    mark_referenced(table, Key("ab").key);
    EXPECT_EQ(table.entries, std::size(names)) << "marking a name twice keeps one entry";
    for (std::size_t i = 0; i < std::size(names); ++i) {
        LabelSlot* slot = find_name(table, Key(names[i]).key);
        ASSERT_NE(slot, nullptr) << i;
        EXPECT_EQ(slot->label, kMarker);
        slot->label = static_cast<std::int32_t>(i);
    }
    for (std::size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(label_of(table, Key(names[i]).key), i);
    EXPECT_EQ(find_name(table, Key("abcde").key), nullptr);
    EXPECT_EQ(find_name(table, Key("abcdefghij").key), nullptr);
    EXPECT_EQ(find_name(table, Key(std::string(102, 'z')).key), nullptr);
    EXPECT_EQ(find_name(table, Key("b").key), nullptr);
    EXPECT_EQ(label_of(LabelTable{}, Key("a").key), -1) << "an empty table finds nothing";
}

TEST(LabelTable, KeepsEveryNameAcrossGrowth) {
    LabelTable table;
    constexpr int kNames = 200'000;
    for (int i = 0; i < kNames; ++i) mark_referenced(table, Key(std::to_string(i * 2)).key);
    EXPECT_EQ(table.entries, static_cast<std::size_t>(kNames));
    EXPECT_LE(8 * table.entries, 5 * table.slots.size());
    for (int i = 0; i < kNames; ++i) {
        ASSERT_NE(find_name(table, Key(std::to_string(i * 2)).key), nullptr) << i;
        ASSERT_EQ(find_name(table, Key(std::to_string(i * 2 + 1)).key), nullptr) << i;
    }
}

TEST(LabelTable, KeepingLabelledNamesOnlyKeepsTheirLabels) {
    LabelTable table;
    constexpr int kNames = 10'000;
    const std::string long_prefix(40, 'n');  // some names too long for a slot
    auto name = [&](int i) { return (i % 3 ? "" : long_prefix) + std::to_string(i); };
    for (int i = 0; i < kNames; ++i) mark_referenced(table, Key(name(i)).key);
    for (int i = 0; i < kNames; i += 10) find_name(table, Key(name(i)).key)->label = i;
    std::size_t slots_before = table.slots.size();
    keep_labelled_only(table);
    EXPECT_LT(table.slots.size(), slots_before);
    EXPECT_EQ(table.entries, static_cast<std::size_t>(kNames / 10));
    for (int i = 0; i < kNames; ++i)
        EXPECT_EQ(label_of(table, Key(name(i)).key), i % 10 ? -1 : i) << i;
}

}  // namespace

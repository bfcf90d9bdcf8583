#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "case_name.h"
#include "line_fields.h"
#include "padded_text.h"

namespace {

struct SplitCase {
    const char* why;
    std::string line;
    std::string location;
    std::optional<std::string> operation;
    std::optional<std::string> operand;
};
PRINT_CASE_AS_ITS_REASON(SplitCase)

const SplitCase kSplitCases[] = {
    {"three words", "P Q R", "P", "Q", "R"},
    {"a TAB separates like a blank", "P\tQ", "P", "Q", std::nullopt},
    {"the operand runs to the end of the line", "P Q R S", "P", "Q", "R S"},
    {"trailing blanks stay in the operand", "P Q R  ", "P", "Q", "R  "},
    {"a run of mixed separators is one gap", "P  \t  Q", "P", "Q", std::nullopt},
    {"a leading separator leaves the location empty", "\tQ R", "", "Q", "R"},
    {"one word is all location", "P", "P", std::nullopt, std::nullopt},
    {"a word and a blank", "P ", "P", std::nullopt, std::nullopt},
    {"separators only", "   ", "", std::nullopt, std::nullopt},
    {"separators around every field", "  Q \t R\t", "", "Q", "R\t"},
    {"a run of separators before the operand is skipped", "P Q \t  R", "P", "Q", "R"},
    {"vertical tab, form feed and NUL are characters", std::string("P\vX\fY Q\0Z R", 11), "P\vX\fY",
     std::string("Q\0Z", 3), "R"},
    // Fields are searched eight bytes at a time: separators before, at and after a word's end.
    {"a separator at the last byte of a word", "0123456 OPERATION X", "0123456", "OPERATION", "X"},
    {"a separator just after a word", "LOCATION\tOPERATION\tOPERAND ONE", "LOCATION", "OPERATION",
     "OPERAND ONE"},
    {"long fields", "01234567890123456789 ABCDEFGHIJKLMNOPQRSTU \t  v w", "01234567890123456789",
     "ABCDEFGHIJKLMNOPQRSTU", "v w"},
    {"bytes above 0x7F are characters", "\xE9t\xE9 \xFF \x80\x81", "\xE9t\xE9", "\xFF", "\x80\x81"},
};

class SplitFields : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitFields, FindsLocationOperationAndOperand) {
    const SplitCase& c = GetParam();
    PaddedText line(c.line);
    LineFields fields = split_fields(line.view());
    EXPECT_EQ(fields.location, c.location);
    EXPECT_EQ(location_of(line.view()), c.location);
    ASSERT_EQ(fields.has_operation, c.operation.has_value());
    if (c.operation) {
        EXPECT_EQ(fields.operation, *c.operation);
    }
    ASSERT_EQ(fields.has_operand, c.operand.has_value());
    if (c.operand) {
        EXPECT_EQ(fields.operand, *c.operand);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitFields, testing::ValuesIn(kSplitCases), case_name<SplitCase>);

}  // namespace

namespace {

TEST(IsOneWord, OnlySpaceAndTabBreakAWord) {
    const std::pair<std::string, bool> cases[] = {{"0104", true},    {"R1, R2", false},
                                                  {"A\tB", false},   {"20 ", false},
                                                  {"P\vQ\fR", true}, {std::string("a\0b", 3), true},
                                                  {"", true}};
    for (const auto& [text, one_word] : cases)
        EXPECT_EQ(is_one_word(PaddedText(text).view()), one_word) << text;
}

}  // namespace

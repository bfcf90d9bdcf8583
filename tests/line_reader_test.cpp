#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "line_reader.h"

namespace {

std::vector<std::string> read_all(std::string_view bytes, std::size_t most_per_read,
                                  std::size_t block) {
    ByteSource source;
    source.memory = bytes;
    source.most_per_read = most_per_read;
    LineReader reader;
    open_reader(reader, source, block);
    std::vector<std::string> lines;
    std::string_view line;
    while (read_line(reader, line)) lines.emplace_back(line);
    return lines;
}

struct ReadCase {
    const char* why;
    std::string bytes;
    std::vector<std::string> lines;
};
PRINT_CASE_AS_ITS_REASON(ReadCase)

const ReadCase kReadCases[] = {
    {"an empty input has no line", "", {}},
    {"LF ends a line", "a b\nc d\n", {"a b", "c d"}},
    {"CR LF reads as LF", "a b\r\nc d\r\n", {"a b", "c d"}},
    {"a last line without LF is kept", "a\nb c", {"a", "b c"}},
    {"a CR inside a line is dropped", "a\rb\r\r c\n", {"ab c"}},
    {"CR alone ends no line", "a\rb\rc\r", {"abc"}},
    {"empty lines are returned, reading goes on after them",
     "\n\r\n\r\na\n\n",
     {"", "", "", "a", ""}},
    {"Ctrl-Z ends the input", "P Q R\n\x1aX Y Z\n", {"P Q R"}},
    {"Ctrl-Z ends a line in its middle", "P Q\x1aR\n", {"P Q"}},
    {"a CR just before Ctrl-Z is dropped too", "P\r\x1a", {"P"}},
    {"NUL and high bytes are characters", std::string("a\0\xff\n", 4), {std::string("a\0\xff", 3)}},
};

class ReadLines : public testing::TestWithParam<ReadCase> {};

// Every rule must hold wherever the block boundaries fall, CR LF split between reads included.
TEST_P(ReadLines, SameLinesWhateverTheReadSizes) {
    const ReadCase& c = GetParam();
    for (std::size_t most : {1, 2, 3, 5, 64})
        for (std::size_t block : {1, 2, 4, 256})
            EXPECT_EQ(read_all(c.bytes, most, block), c.lines)
                << "reads of " << most << ", block " << block;
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadLines, testing::ValuesIn(kReadCases), case_name<ReadCase>);

TEST(LineReader, OneLineMuchLongerThanTheBuffer) {
    std::string huge(3'000'000, 'x');
    huge[1'234'567] = '\r';
    std::string expected = huge.substr(0, 1'234'567) + huge.substr(1'234'568);
    EXPECT_EQ(read_all(huge + "\r\nshort\n", 4096, 4096),
              (std::vector<std::string>{expected, "short"}));
}

TEST(LineReader, ReadsNothingAfterCtrlZ) {
    std::string bytes = "a b\n\x1a" + std::string(100'000, 'z');
    ByteSource source;
    source.memory = bytes;
    LineReader reader;
    open_reader(reader, source, 1024);
    std::string_view line;
    ASSERT_TRUE(read_line(reader, line));
    EXPECT_FALSE(read_line(reader, line));
    EXPECT_FALSE(read_line(reader, line));
    // Only the first block was taken from the source.
    EXPECT_EQ(reader.source.memory.size(), bytes.size() - 1024);
}

TEST(LineReader, ReopenedReaderStartsAfresh) {
    LineReader reader;
    ByteSource first;
    first.memory = "unfinished";
    open_reader(reader, first, 4);
    std::string_view line;
    ASSERT_TRUE(read_line(reader, line));
    ByteSource second;
    second.memory = "x\n";
    open_reader(reader, second, 4);
    ASSERT_TRUE(read_line(reader, line));
    EXPECT_EQ(line, "x");
    EXPECT_FALSE(read_line(reader, line));
}

}  // namespace

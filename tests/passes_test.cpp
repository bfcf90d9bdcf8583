#include <gtest/gtest.h>

#include <string>

#include "case_name.h"
#include "in_memory_run.h"
#include "labelled_listing.h"
#include "passes.h"

namespace {

struct RelabelCase {
    const char* why;
    std::string input;
    std::string output;
};
PRINT_CASE_AS_ITS_REASON(RelabelCase)

const RelabelCase kRelabelCases[] = {
    {"a forward jump", "0100 JMP 0104\n0102 NOP\n0104 RET\n",
     "\tJMP\tL00000\r\n\tNOP\r\nL00000\tRET\r\n"},
    {"labels follow the order of the labelled lines, not of the references",
     "10 CALL 30\n20 JMP 10\n30 RET\n", "L00000\tCALL\tL00001\r\n\tJMP\tL00000\r\nL00001\tRET\r\n"},
    {"a trailing blank is part of the operand, so it names nothing", "10 JMP 20 \n20 NOP\n",
     "\tJMP\t20 \r\n\tNOP\r\n"},
    {"an operand that names no location is kept and the marker never shows", "10 JMP 99\n20 NOP\n",
     "\tJMP\t99\r\n\tNOP\r\n"},
    {"a location on several lines has one label", "X NOP\nX NOP\n30 JMP X\n",
     "L00000\tNOP\r\nL00000\tNOP\r\n\tJMP\tL00000\r\n"},
    {"no reference at all leaves every location column empty", "A B C\nD E\n", "\tB\tC\r\n\tE\r\n"},
    {"empty lines are skipped, CR LF input gives the same output", "\r\n10 JMP 10\r\n\r\n\n",
     "L00000\tJMP\tL00000\r\n"},
    {"an operand of several words can never be a location", "A JMP B C\nB C NOP\nB NOP\n",
     "\tJMP\tB C\r\n\tC\tNOP\r\n\tNOP\r\n"},
    {"a line that starts with a separator has an empty location", "\tJMP X\nX NOP\n",
     "\tJMP\tL00000\r\nL00000\tNOP\r\n"},
    {"an empty location is never named by an operand", " A\n\tB\n", "\tA\r\n\tB\r\n"},
    {"a line without operation keeps its label and TAB", "P\nQ \n   \n1 JMP P\n",
     "L00000\t\r\n\t\r\n\t\r\n\tJMP\tL00000\r\n"},
    {"a lone word after the label line is labelled at its first line only", "P\nP NOP\nX JMP P\n",
     "L00000\t\r\nL00000\tNOP\r\n\tJMP\tL00000\r\n"},
    {"Ctrl-Z hides the rest from every pass",
     "1 JMP 2\n\x1a"
     "2 NOP\n",
     "\tJMP\t2\r\n"},
    {"an empty file gives an empty output", "", ""},
    {"a last line without LF is written with CR LF", "1 JMP 1", "L00000\tJMP\tL00000\r\n"},
};

class RelabelListing : public testing::TestWithParam<RelabelCase> {};

TEST_P(RelabelListing, WritesTheExpectedListing) {
    const RelabelCase& c = GetParam();
    EXPECT_EQ(relabel_in_memory(c.input), c.output);
    EXPECT_EQ(relabel_in_memory(c.input, 1, 1), c.output) << "with one-byte reads";
}

INSTANTIATE_TEST_SUITE_P(Cases, RelabelListing, testing::ValuesIn(kRelabelCases),
                         case_name<RelabelCase>);

TEST(RelabelListing, FiveDigitsForTheFirstHundredThousandLabelsThenMore) {
    std::string output = relabel_in_memory(self_referencing_lines(100'002));
    EXPECT_EQ(output.substr(0, 19), "L00000\tJMP\tL00000\r\n");
    EXPECT_NE(output.find(
                  "\r\nL99999\tJMP\tL99999\r\nL100000\tJMP\tL100000\r\nL100001\tJMP\tL100001\r\n"),
              std::string::npos);
    EXPECT_TRUE(output == self_referencing_output(100'002));
}

TEST(RelabelListing, RewritingStopsWhenTheOutputFails) {
    std::string input = self_referencing_lines(1000);
    LabelTable table;
    LineReader reader;
    ByteSource source;
    source.memory = input;
    open_reader(reader, source);
    collect_operands(reader, table);
    ByteSink full;
    full.refuse_writes = true;
    OutputWriter writer;
    open_writer(writer, full, 64);
    open_reader(reader, source, 64);
    EXPECT_FALSE(rewrite_listing(reader, table, writer));
    EXPECT_FALSE(reader.at_end) << "no need to read on once the output is lost";
}

}  // namespace

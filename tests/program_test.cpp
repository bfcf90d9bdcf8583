// The program as a user meets it: each row gives the arguments, what is typed, the files
// before, and what must be printed, the exit status and the files after.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "case_name.h"
#include "labelled_listing.h"
#include "run_program.h"

namespace fs = std::filesystem;

namespace {

const std::string kListing = "0100 JMP 0104\n0102 NOP\n0104 RET\n";
const std::string kRelabelled = "\tJMP\tL00000\r\n\tNOP\r\nL00000\tRET\r\n";

std::string input_file(const std::string& name) { return "Input file: " + name + "\r\n"; }
std::string output_file(const std::string& name) { return "Output file: " + name + "\r\n"; }
std::string cant_open(const std::string& name) { return "Can't open file: " + name + "\r\n"; }
std::string cant_create(const std::string& name) {
    return "Can't open/create file: " + name + "\r\n";
}
std::string cant_write(const std::string& name) { return "Can't write file: " + name + "\r\n"; }
std::string cant_read(const std::string& name) { return "Can't read file: " + name + "\r\n"; }
const std::string kGiveInput = "Give input name: ";
const std::string kGiveOutput = "Give output name: ";
const std::string kDone = "Succes. Please press enter: ";

using Files = std::map<std::string, std::optional<std::string>>;  // nullopt: must not exist

struct ProgramCase {
    const char* why;
    std::vector<std::string> arguments;
    std::string typed;
    Files before;
    std::string printed;
    int status;
    Files after;
    void (*prepare)(const fs::path& directory) = nullptr;
};
PRINT_CASE_AS_ITS_REASON(ProgramCase)

void make_subdirectory(const fs::path& directory) { fs::create_directory(directory / "sub"); }
void link_to_input(const fs::path& directory) {
    fs::create_symlink("in.lst", directory / "link.lst");
}
void hard_link_to_input(const fs::path& directory) {
    fs::create_hard_link(directory / "in.lst", directory / "hard.lst");
}

// Rows keep the layout of a table: arguments, typed input and files before on a line, then
// what is printed, the status and the files after.
// clang-format off
const ProgramCase kProgramCases[] = {
    {"no arguments: both names are asked for",
     {}, "in.lst\nout.lst\n\n", {{"in.lst", kListing}},
     kGiveInput + kGiveOutput + kDone, 0, {{"out.lst", kRelabelled}}},
    {"one argument names the input, the output is asked for",
     {"in.lst"}, "out.lst\n\n", {{"in.lst", kListing}},
     input_file("in.lst") + kGiveOutput + kDone, 0, {{"out.lst", kRelabelled}}},
    {"two arguments: nothing is asked but the closing Enter",
     {"in.lst", "out.lst"}, "\n", {{"in.lst", kListing}},
     input_file("in.lst") + output_file("out.lst") + kDone, 0,
     {{"out.lst", kRelabelled}, {"in.lst", kListing}}},
    {"standard input at its end ends the closing pause at once",
     {"in.lst", "out.lst"}, "", {{"in.lst", kListing}},
     input_file("in.lst") + output_file("out.lst") + kDone, 0, {{"out.lst", kRelabelled}}},
    {"a third argument changes nothing",
     {"in.lst", "out.lst", "extra"}, "\n", {{"in.lst", kListing}},
     input_file("in.lst") + output_file("out.lst") + kDone, 0,
     {{"out.lst", kRelabelled}, {"extra", std::nullopt}}},
    {"an output name equal to the input is refused, typed or given, until it differs",
     {"a.lst", "a.lst"}, "a.lst\nb.lst\n\n", {{"a.lst", kListing}},
     input_file("a.lst") + kGiveOutput + kGiveOutput + kDone, 0,
     {{"a.lst", kListing}, {"b.lst", kRelabelled}}},
    {"names compare with letter case",
     {"a.lst", "A.lst"}, "\n", {{"a.lst", kListing}},
     input_file("a.lst") + output_file("A.lst") + kDone, 0, {{"A.lst", kRelabelled}}},
    {"another spelling of the input's path is the input",
     {"in.lst", "./in.lst"}, "out.lst\n\n", {{"in.lst", kListing}},
     input_file("in.lst") + kGiveOutput + kDone, 0, {{"in.lst", kListing}, {"out.lst", kRelabelled}}},
    {"a typed other spelling of the input is asked again",
     {"in.lst"}, "./in.lst\nout.lst\n\n", {{"in.lst", kListing}},
     input_file("in.lst") + kGiveOutput + kGiveOutput + kDone, 0,
     {{"in.lst", kListing}, {"out.lst", kRelabelled}}},
    {"a symbolic link to the input is the input",
     {"in.lst", "link.lst"}, "out.lst\n\n", {{"in.lst", kListing}},
     input_file("in.lst") + kGiveOutput + kDone, 0, {{"in.lst", kListing}, {"out.lst", kRelabelled}},
     link_to_input},
    {"a hard link to the input is the input",
     {"in.lst", "hard.lst"}, "out.lst\n\n", {{"in.lst", kListing}},
     input_file("in.lst") + kGiveOutput + kDone, 0,
     {{"in.lst", kListing}, {"hard.lst", kListing}, {"out.lst", kRelabelled}}, hard_link_to_input},
    {"a missing input: status 1 and no output file",
     {"x", "out.lst"}, "", {},
     input_file("x") + cant_open("x"), 1, {{"out.lst", std::nullopt}}},
    {"an empty typed input name can't be opened",
     {}, "", {}, kGiveInput + cant_open(""), 1, {}},
    {"a directory is no input",
     {"sub", "out.lst"}, "", {}, input_file("sub") + cant_open("sub"), 1,
     {{"out.lst", std::nullopt}}, make_subdirectory},
    {"an empty output name can't be created",
     {"in.lst"}, "\n", {{"in.lst", kListing}},
     input_file("in.lst") + kGiveOutput + cant_create(""), 2, {{"in.lst", kListing}}},
    {"standard input ending before the output name gives an empty name",
     {"in.lst"}, "", {{"in.lst", kListing}},
     input_file("in.lst") + kGiveOutput + cant_create(""), 2, {}},
    {"a directory is no output",
     {"in.lst", "sub"}, "", {{"in.lst", kListing}},
     input_file("in.lst") + output_file("sub") + cant_create("sub"), 2, {}, make_subdirectory},
    {"an output in a missing directory",
     {"in.lst", "none/out.lst"}, "", {{"in.lst", kListing}},
     input_file("in.lst") + output_file("none/out.lst") + cant_create("none/out.lst"), 2, {}},
    {"a longer existing output is cut to the new length",
     {"in.lst", "out.lst"}, "\n", {{"in.lst", kListing}, {"out.lst", std::string(10000, 'x')}},
     input_file("in.lst") + output_file("out.lst") + kDone, 0, {{"out.lst", kRelabelled}}},
    {"typed names keep their blanks and lose their CRs",
     {}, " in.lst\r\n out .lst \r\n\r\n", {{" in.lst", kListing}},
     kGiveInput + kGiveOutput + kDone, 0, {{" out .lst ", kRelabelled}}},
    {"Ctrl-Z ends the typed input for the rest of the run",
     {"in.lst"}, "o\x1aut.lst\n\n", {{"in.lst", kListing}},
     input_file("in.lst") + kGiveOutput + kDone, 0, {{"o", kRelabelled}, {"out.lst", std::nullopt}}},
    {"an input that fails to read is reported, not taken for its end",
     {"/proc/self/mem", "out.lst"}, "\n", {},  // opens, then every read fails
     input_file("/proc/self/mem") + output_file("out.lst") + cant_read("/proc/self/mem"), 1,
     {{"out.lst", ""}}},
    {"a full disk is reported, without the closing prompt",
     {"in.lst", "/dev/full"}, "\n", {{"in.lst", kListing}},
     input_file("in.lst") + output_file("/dev/full") + cant_write("/dev/full"), 4, {}},
    {"an input with CR LF line ends and a Ctrl-Z reads as text",
     {"in.lst", "out.lst"}, "", {{"in.lst", "0100 JMP 0104\r\n0102 NOP\r\n0104 RET\r\n\x1aX Y Z\r\n"}},
     input_file("in.lst") + output_file("out.lst") + kDone, 0, {{"out.lst", kRelabelled}}},
    {"lines without an operation keep their label and TAB",
     {"in.lst", "out.lst"}, "", {{"in.lst", "P\nQ \n   \n1 JMP P\n"}},
     input_file("in.lst") + output_file("out.lst") + kDone, 0,
     {{"out.lst", "L00000\t\r\n\t\r\n\t\r\n\tJMP\tL00000\r\n"}}},
    {"labels go on past L99999 with more digits",
     {"in.lst", "out.lst"}, "", {{"in.lst", self_referencing_lines(100'002)}},
     input_file("in.lst") + output_file("out.lst") + kDone, 0,
     {{"out.lst", self_referencing_output(100'002)}}},
    {"an empty input gives an empty output",
     {"in.lst", "out.lst"}, "", {{"in.lst", ""}},
     input_file("in.lst") + output_file("out.lst") + kDone, 0, {{"out.lst", ""}}},
};
// clang-format on

class Program : public testing::TestWithParam<ProgramCase> {};

TEST_P(Program, PrintsWritesAndEndsAsExpected) {
    const ProgramCase& c = GetParam();
    ScratchDirectory scratch;
    for (const auto& [name, bytes] : c.before) write_file(scratch.path / name, *bytes);
    if (c.prepare) c.prepare(scratch.path);

    Finished finished = run_program(launch_in(scratch.path, c.arguments, c.typed));

    EXPECT_EQ(finished.standard_output, c.printed);
    EXPECT_EQ(finished.exit_status, c.status);
    EXPECT_EQ(finished.standard_error, "");
    for (const auto& [name, bytes] : c.after) {
        if (bytes) {
            EXPECT_EQ(read_file(scratch.path / name), *bytes) << name;
        } else {
            EXPECT_FALSE(fs::exists(scratch.path / name)) << name;
        }
    }
}

TEST(Program, FailingStandardOutputIsAWriteError) {
    ScratchDirectory scratch;
    write_file(scratch.path / "in.lst", kListing);
    Launch launch = launch_in(scratch.path, {"in.lst", "out.lst"}, "\n");
    launch.standard_output_to = "/dev/full";
    Finished finished = run_program(launch);
    EXPECT_EQ(finished.exit_status, 4);
    EXPECT_EQ(finished.standard_error, "Can't write file: standard output\r\n");
    EXPECT_EQ(read_file(scratch.path / "out.lst"), kRelabelled) << "the listing itself is complete";
}

TEST(Program, BrokenPipeOnStandardOutputIsAWriteError) {
    ScratchDirectory scratch;
    write_file(scratch.path / "in.lst", kListing);
    Launch launch = launch_in(scratch.path, {"in.lst", "out.lst"}, "\n");
    launch.output_unread = true;
    Finished finished = run_program(launch);
    EXPECT_EQ(finished.signal, 0) << "not ended by SIGPIPE";
    EXPECT_EQ(finished.exit_status, 4);
    EXPECT_EQ(finished.standard_error, "Can't write file: standard output\r\n");
    EXPECT_EQ(read_file(scratch.path / "out.lst"), kRelabelled);
}

INSTANTIATE_TEST_SUITE_P(Rows, Program, testing::ValuesIn(kProgramCases), case_name<ProgramCase>);

}  // namespace

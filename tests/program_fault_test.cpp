// The program when things around it go wrong or stop it: slow and vanishing input, signals,
// memory running out, and a person at the console who sees each prompt before typing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "case_name.h"
#include "labelled_listing.h"
#include "run_program.h"

namespace fs = std::filesystem;

namespace {

const std::string kListing = "0100 JMP 0104\n0102 NOP\n0104 RET\n";
const std::string kRelabelled = "\tJMP\tL00000\r\n\tNOP\r\nL00000\tRET\r\n";
const std::string kStarted = "Input file: in.fifo\r\nOutput file: out.lst\r\n";

// A run whose input is a FIFO, so the test decides what each pass reads and when.
struct FifoRun {
    ScratchDirectory scratch;
    fs::path fifo = scratch.path / "in.fifo";
    fs::path output = scratch.path / "out.lst";
    Started started;

    explicit FifoRun(std::size_t address_space_limit = 0, bool hangup_ignored = false) {
        ::signal(SIGPIPE, SIG_IGN);
        make_fifo();
        Launch launch = launch_in(scratch.path, {"in.fifo", "out.lst"}, "");
        launch.address_space_limit = address_space_limit;
        launch.hangup_ignored = hangup_ignored;
        started = start_program(launch);
    }

    void make_fifo() {
        if (::mkfifo(fifo.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
    }

    // Opens the FIFO for one pass and writes `bytes`; the pass reads them once it is closed.
    int feed(const std::string& bytes) {
        int fd = open_fifo_for_writing(fifo);
        EXPECT_GE(fd, 0) << "the program never opened its input";
        EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        return fd;
    }
    // Feeds a whole pass. A new FIFO takes the old one's name, so the next feed waits until
    // the program has opened the input again instead of adding to the pass that is ending.
    void feed_whole_pass(const std::string& bytes) {
        int fd = feed(bytes);
        fs::remove(fifo);
        make_fifo();
        ::close(fd);
    }
};

TEST(ProgramFaults, InputVanishingBeforeALaterPassIsReported) {
    for (int passes_read : {1, 2}) {
        FifoRun run;
        for (int pass = 1; pass < passes_read; ++pass) run.feed_whole_pass(kListing);
        int last = run.feed(kListing);
        fs::remove(run.fifo);  // gone before the pass can end, so opening it again must fail
        ::close(last);
        Finished finished = wait_program(run.started);
        EXPECT_EQ(finished.exit_status, 1) << passes_read;
        EXPECT_EQ(finished.standard_output, kStarted + "Can't open file: in.fifo\r\n");
        EXPECT_EQ(read_file(run.output), "") << "no line was complete";
    }
}

// While the last pass waits for input, every completed line is already in the file; a signal
// then ends the process by that signal, leaving exactly those lines.
TEST(ProgramFaults, SignalDuringTheLastPassKeepsTheCompletedLines) {
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
        FifoRun run;
        run.feed_whole_pass(kListing);
        run.feed_whole_pass(kListing);
        int last = run.feed("0100 JMP 0104\n0102 NOP\n0104 RE");
        EXPECT_TRUE(wait_for_file(run.output, "\tJMP\tL00000\r\n\tNOP\r\n"))
            << read_file(run.output);
        ::kill(run.started.pid, signal_number);
        Finished finished = wait_program(run.started);
        ::close(last);
        EXPECT_EQ(finished.signal, signal_number);
        EXPECT_EQ(read_file(run.output), "\tJMP\tL00000\r\n\tNOP\r\n") << signal_number;
        EXPECT_EQ(finished.standard_output, kStarted);
    }
}

// Whatever bytes come in, the program ends normally with the output the rules give.
struct ExtremeInput {
    const char* why;
    std::string (*listing)();
    std::string (*relabelled)();
};

PRINT_CASE_AS_ITS_REASON(ExtremeInput)

constexpr std::size_t kHugeLine = 200'000'000;

const ExtremeInput kExtremeInputs[] = {
    {"one line of 200 MB", [] { return "A B " + std::string(kHugeLine, 'x') + "\n"; },
     [] { return "\tB\t" + std::string(kHugeLine, 'x') + "\r\n"; }},
    {"a million labels", [] { return self_referencing_lines(1'000'000, "\r\n"); },
     [] { return self_referencing_output(1'000'000); }},
    {"a file of NUL bytes", [] { return std::string(1'000'000, '\0'); },
     [] { return std::string("\t\r\n"); }},
    {"lines of NUL bytes and blanks", [] { return std::string("\0 \0 \0\n\0\0 \0\n", 11); },
     [] { return std::string("L00000\t\0\tL00000\r\n\t\0\r\n", 21); }},
    {"a file of separators only",
     [] { return std::string(" \t \n\t\t\n \r\n") + std::string(100'000, ' '); },
     [] { return std::string("\t\r\n\t\r\n\t\r\n\t\r\n"); }},
};

class ExtremeInputs : public testing::TestWithParam<ExtremeInput> {};

TEST_P(ExtremeInputs, AreRelabelledLikeAnyOther) {
    ScratchDirectory scratch;
    write_file(scratch.path / "in.lst", GetParam().listing());
    Finished finished = run_program(launch_in(scratch.path, {"in.lst", "out.lst"}, "\n"));
    EXPECT_EQ(finished.exit_status, 0);
    EXPECT_EQ(finished.standard_error, "");
    EXPECT_TRUE(read_file(scratch.path / "out.lst") == GetParam().relabelled());
}

INSTANTIATE_TEST_SUITE_P(Cases, ExtremeInputs, testing::ValuesIn(kExtremeInputs),
                         case_name<ExtremeInput>);

// Started under nohup, the program keeps ignoring SIGHUP and finishes its work.
TEST(ProgramFaults, IgnoredHangupStaysIgnored) {
    FifoRun run(0, true);
    run.feed_whole_pass(kListing);
    run.feed_whole_pass(kListing);
    int last = run.feed("0100 JMP 0104\n0102 NOP\n0104 RE");
    EXPECT_TRUE(wait_for_file(run.output, "\tJMP\tL00000\r\n\tNOP\r\n"));
    ::kill(run.started.pid, SIGHUP);
    ASSERT_EQ(::write(last, "T\n", 2), 2);
    ::close(last);
    Finished finished = wait_program(run.started);
    EXPECT_EQ(finished.signal, 0);
    EXPECT_EQ(finished.exit_status, 0);
    EXPECT_EQ(read_file(run.output), kRelabelled);
}

#ifndef RELABEL_SANITIZED  // the sanitizers' own memory reservations do not fit a small limit
constexpr std::size_t kSmallAddressSpace = 96u << 20;
const std::string kOutOfMemory = "\r\nAbnormal program termination\r\n";

TEST(ProgramFaults, MemoryRunningOutKeepsEveryWrittenLine) {
    FifoRun run(kSmallAddressSpace);
    run.feed_whole_pass(kListing);
    run.feed_whole_pass(kListing);
    // The last pass gets the listing and then one line that never ends.
    int last = run.feed(kListing);
    std::string endless(1 << 20, 'x');
    while (::write(last, endless.data(), endless.size()) > 0) {
    }
    ::close(last);
    Finished finished = wait_program(run.started);
    EXPECT_EQ(finished.exit_status, 3);
    EXPECT_EQ(finished.standard_error, kOutOfMemory);
    EXPECT_EQ(finished.standard_output, kStarted);
    EXPECT_EQ(read_file(run.output), kRelabelled);
}

TEST(ProgramFaults, TooManyDistinctOperandsRunOutOfMemory) {
    ScratchDirectory scratch;
    std::string listing;
    for (int i = 0; i < 4'000'000; ++i) listing += "A B " + std::to_string(i) + "\n";
    write_file(scratch.path / "in.lst", listing);
    Launch launch = launch_in(scratch.path, {"in.lst", "out.lst"}, "\n");
    launch.address_space_limit = kSmallAddressSpace;
    Finished finished = run_program(launch);
    EXPECT_EQ(finished.exit_status, 3);
    EXPECT_EQ(finished.standard_error, kOutOfMemory);
    EXPECT_EQ(finished.standard_output, "Input file: in.lst\r\nOutput file: out.lst\r\n");
    EXPECT_EQ(read_file(scratch.path / "out.lst"), "");
}

// The program holds one line and the table, never the file: ten times the lines over the
// same names take the same memory.
TEST(ProgramFaults, MemoryDoesNotGrowWithTheLengthOfTheListing) {
    ScratchDirectory scratch;
    std::string once;
    for (int i = 0; i < 200'000; ++i)
        once += std::to_string(i) + " JMP " + std::to_string((i * 7) % 200'000) + "\r\n";
    std::string ten_times;
    for (int i = 0; i < 10; ++i) ten_times += once;
    write_file(scratch.path / "once.lst", once);
    write_file(scratch.path / "ten.lst", ten_times);
    Finished short_run = run_program(launch_in(scratch.path, {"once.lst", "once.out"}));
    Finished long_run = run_program(launch_in(scratch.path, {"ten.lst", "ten.out"}));
    ASSERT_EQ(short_run.exit_status, 0);
    ASSERT_EQ(long_run.exit_status, 0);
    EXPECT_LT(long_run.peak_kib, short_run.peak_kib + 2048)
        << "once: " << short_run.peak_kib << " KiB, ten times: " << long_run.peak_kib << " KiB";
}
#endif

// The input ends at a Ctrl-Z: a pass reads no further, so it goes on while the rest of the
// input has not even been written.
TEST(ProgramFaults, NothingIsReadAfterCtrlZ) {
    FifoRun run;
    std::vector<int> held;
    for (int pass = 0; pass < 3; ++pass) {
        int fd = open_fifo_for_writing(run.fifo);
        ASSERT_GE(fd, 0) << "pass " << pass << " never opened its input";
        // A new FIFO under the name before the pass can end, so the next pass opens that one.
        fs::remove(run.fifo);
        run.make_fifo();
        std::string bytes = kListing + "\x1a" + "0200 JMP 0102\n";
        ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        held.push_back(fd);  // held open: the pass never sees the end of the file
    }
    EXPECT_TRUE(wait_for_file(run.output, kRelabelled));
    Finished finished = wait_program(run.started);
    for (int fd : held) ::close(fd);
    EXPECT_EQ(finished.exit_status, 0);
    EXPECT_EQ(read_file(run.output), kRelabelled);
}

// A person sees each prompt before the program waits, and the whole output is in the file
// before the closing prompt asks for Enter.
TEST(ProgramFaults, EachPromptShowsBeforeTheProgramWaits) {
    ScratchDirectory scratch;
    write_file(scratch.path / "in.lst", kListing);
    Launch launch = launch_in(scratch.path, {}, "");
    launch.interactive = true;
    Started started = start_program(launch);
    EXPECT_EQ(read_screen_until(started, "Give input name: "), "Give input name: ");
    ASSERT_EQ(::write(started.keyboard, "in.lst\n", 7), 7);
    EXPECT_EQ(read_screen_until(started, "Give output name: "), "Give output name: ");
    ASSERT_EQ(::write(started.keyboard, "out.lst\n", 8), 8);
    EXPECT_EQ(read_screen_until(started, "Succes. Please press enter: "),
              "Succes. Please press enter: ");
    EXPECT_EQ(read_file(scratch.path / "out.lst"), kRelabelled);
    EXPECT_EQ(::kill(started.pid, 0), 0) << "it waits for Enter";
    ASSERT_EQ(::write(started.keyboard, "\nnext command\n", 14), 14);
    Finished finished = wait_program(started);
    EXPECT_EQ(finished.exit_status, 0);
    EXPECT_EQ(finished.standard_output, "");
    // The closing pause takes one byte; the rest stays for whoever reads the console next.
    char rest[64];
    EXPECT_EQ(std::string(rest, std::max<ssize_t>(0, ::read(started.unread, rest, sizeof rest))),
              "next command\n");
    ::close(started.unread);
}

}  // namespace

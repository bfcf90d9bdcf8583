#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <string>

#include "output_writer.h"
#include "system_io.h"

namespace {

struct MemoryWriter {
    std::string file;
    OutputWriter writer;
    explicit MemoryWriter(std::size_t block) {
        ByteSink sink;
        sink.memory = &file;
        open_writer(writer, sink, block);
    }
};

TEST(OutputWriter, OnlyWholeLinesReachTheFile) {
    MemoryWriter out(6);
    put_bytes(out.writer, "abc");
    end_line(out.writer);
    EXPECT_EQ(out.file, "") << "a short line waits in the buffer";
    put_bytes(out.writer, "defgh");
    EXPECT_TRUE(flush_writer(out.writer));
    EXPECT_EQ(out.file, "abc\r\n") << "the unfinished line stays behind";
    end_line(out.writer);
    EXPECT_EQ(out.file, "abc\r\ndefgh\r\n") << "a full block goes out at the line's end";
}

TEST(OutputWriter, LineLongerThanTheBufferStaysWhole) {
    MemoryWriter out(4);
    std::string long_line(10'000, 'q');
    put_bytes(out.writer, long_line.substr(0, 5000));
    EXPECT_TRUE(flush_writer(out.writer));
    EXPECT_EQ(out.file, "");
    put_bytes(out.writer, long_line.substr(5000));
    end_line(out.writer);
    EXPECT_EQ(out.file, long_line + "\r\n");
}

TEST(OutputWriter, FailedWriteIsRememberedAndDropsLaterLines) {
    std::string never;
    ByteSink sink;
    sink.memory = &never;
    sink.refuse_writes = true;
    OutputWriter writer;
    open_writer(writer, sink, 16);
    put_bytes(writer, "line");
    end_line(writer);
    EXPECT_FALSE(flush_writer(writer));
    EXPECT_TRUE(writer.failed);
    for (int i = 0; i < 1000; ++i) {
        put_bytes(writer, "more output");
        end_line(writer);
    }
    EXPECT_FALSE(flush_writer(writer));
    EXPECT_LT(writer.capacity, 1000u) << "a dead file must not make the buffer grow";
}

// Runs `body` in a child process whose writer sends to a pipe; returns what reached the pipe
// and the signal that ended the child (0 if none).
template <typename Body>
std::pair<std::string, int> in_child_writing_to_pipe(Body body) {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ends[0]);
        OutputWriter writer;
        open_writer(writer, file_sink(ends[1]), 1 << 20);
        flush_on_exit_signals(&writer);
        body(writer);
        ::_exit(0);
    }
    ::close(ends[1]);
    std::string received;
    char bytes[256];
    for (ssize_t got; (got = ::read(ends[0], bytes, sizeof bytes)) > 0;)
        received.append(bytes, got);
    ::close(ends[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {received, WIFSIGNALED(status) ? WTERMSIG(status) : 0};
}

TEST(OutputWriter, ExitSignalWritesTheCompletedLinesAndEndsTheProcess) {
    auto [received, signal_number] = in_child_writing_to_pipe([](OutputWriter& writer) {
        put_bytes(writer, "done");
        end_line(writer);
        put_bytes(writer, "half");
        ::raise(SIGTERM);
    });
    EXPECT_EQ(received, "done\r\n");
    EXPECT_EQ(signal_number, SIGTERM);
}

TEST(OutputWriter, SignalDuringAFlushWritesNothingTwice) {
    auto [received, signal_number] = in_child_writing_to_pipe([](OutputWriter& writer) {
        put_bytes(writer, "first");
        end_line(writer);
        hold_exit_signals();  // as if the signal came while the flush below was under way
        ::raise(SIGINT);
        flush_writer(writer);
        put_bytes(writer, "second");
        end_line(writer);
        release_exit_signals();
    });
    EXPECT_EQ(received, "first\r\nsecond\r\n");
    EXPECT_EQ(signal_number, SIGINT);
}

}  // namespace

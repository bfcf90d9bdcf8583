#include <gtest/gtest.h>

#include <string>

#include "output_writer.h"

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

}  // namespace

#include "in_memory_run.h"

#include "passes.h"

std::string relabel_in_memory(std::string_view input, std::size_t most_per_read,
                              std::size_t block) {
    auto source = [&] {
        ByteSource bytes;
        bytes.memory = input;
        bytes.most_per_read = most_per_read;
        return bytes;
    };
    LabelTable table;
    LineReader reader;
    open_reader(reader, source(), block);
    collect_operands(reader, table);
    open_reader(reader, source(), block);
    number_locations(reader, table);
    open_reader(reader, source(), block);
    std::string output;
    ByteSink sink;
    sink.memory = &output;
    OutputWriter writer;
    open_writer(writer, sink, 64);
    rewrite_listing(reader, table, writer);
    return output;
}

// The per-line pieces on their own: splitting a line, and looking names up in a table of the
// size a million-line listing gives.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "byte_words.h"
#include "label_table.h"
#include "line_fields.h"

namespace {

// The splitter and the keys read a little past the text they are given, as lines from the
// reader allow: each text here is kept with kReadAhead bytes after it.
std::string padded(std::string text) { return text.append(kReadAhead, ' '); }
std::string_view text_of(const std::string& padded) {
    return {padded.data(), padded.size() - kReadAhead};
}

std::vector<std::string> hex_names(std::size_t count, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<std::string> names;
    char text[32];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(text, sizeof text, "%06llX",
                      static_cast<unsigned long long>(random() % 0xFFFFFF));
        names.push_back(padded(text));
    }
    return names;
}

void SplitFields(benchmark::State& state) {
    const std::string lines[] = {padded("010000 JMP 01A2F0"), padded("010003 ADD R2, #17A0"),
                                 padded("010005 RET"), padded("\tNOP"),
                                 padded("010008 LD (06C2A)")};
    for (auto _ : state)
        for (const std::string& line : lines) benchmark::DoNotOptimize(split_fields(text_of(line)));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(std::size(lines)));
}
BENCHMARK(SplitFields);

void LookUp(benchmark::State& state) {
    LabelTable table;
    for (const std::string& name : hex_names(state.range(0), 1))
        mark_referenced(table, make_key(text_of(name)));
    std::vector<std::string> probes = hex_names(1 << 16, 2);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(find_name(table, make_key(text_of(probes[next]))));
        next = (next + 1) & ((1 << 16) - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(LookUp)->Arg(1 << 10)->Arg(270'000)->Arg(575'000);

}  // namespace

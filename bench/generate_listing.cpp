// Writes a seeded, realistic listing for benchmarks: increasing hex addresses as locations,
// jumps and calls whose operands name other lines' addresses, register, memory and immediate
// operands, CR LF line ends.
//
//   generate_listing typical|heavy LINES [SEED] > listing.lst
//
// typical: about 12% of lines labelled and 270,000 distinct operands per million lines;
// heavy: about 50% labelled and 575,000 distinct operands per million lines.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct Profile {
    double labelled;   // share of lines some branch names
    double branch;     // share of lines that jump to or call a labelled line
    double immediate;  // share of lines with an immediate operand
    double memory;     // share of lines with a memory address operand
    unsigned immediate_range;
    unsigned memory_range;
};

constexpr Profile kTypical{0.12, 0.20, 0.30, 0.15, 6000, 1u << 16};
constexpr Profile kHeavy{0.50, 0.55, 0.15, 0.10, 4000, 1u << 14};

const char* const kBranches[] = {"JMP", "CALL", "JNZ", "JZ", "JC", "DJNZ"};
const char* const kPlain[] = {"MOV", "ADD", "SUB", "CMP", "AND", "OR", "XOR", "PUSH", "POP"};
const char* const kBare[] = {"RET", "NOP", "HALT", "EI", "DI"};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || (std::strcmp(argv[1], "typical") != 0 && std::strcmp(argv[1], "heavy") != 0)) {
        std::fprintf(stderr, "usage: generate_listing typical|heavy LINES [SEED]\n");
        return 2;
    }
    const Profile& profile = std::strcmp(argv[1], "heavy") == 0 ? kHeavy : kTypical;
    const std::size_t lines = std::strtoull(argv[2], nullptr, 10);
    std::mt19937_64 random(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
    std::uniform_real_distribution<double> chance(0.0, 1.0);

    std::vector<std::uint64_t> address(lines);
    std::vector<std::size_t> targets;
    std::uint64_t at = 0x10000;
    for (std::size_t i = 0; i < lines; ++i) {
        address[i] = at;
        at += 1 + random() % 6;
        if (chance(random) < profile.labelled) targets.push_back(i);
    }

    std::string out;
    out.reserve(1 << 20);
    std::size_t branches = 0;
    char text[128];
    for (std::size_t i = 0; i < lines; ++i) {
        double kind = chance(random);
        int n;
        if (kind < profile.branch && !targets.empty()) {
            // The first branches name every target once, in order, so all of them get a label.
            std::size_t target =
                branches < targets.size() ? targets[branches] : targets[random() % targets.size()];
            ++branches;
            n = std::snprintf(text, sizeof text, "%06llX %s %06llX\r\n",
                              static_cast<unsigned long long>(address[i]), kBranches[random() % 6],
                              static_cast<unsigned long long>(address[target]));
        } else if ((kind -= profile.branch) < profile.immediate) {
            n = std::snprintf(text, sizeof text, "%06llX %s R%d, #%X\r\n",
                              static_cast<unsigned long long>(address[i]), kPlain[random() % 9],
                              static_cast<int>(random() % 16),
                              static_cast<unsigned>(random() % profile.immediate_range));
        } else if ((kind -= profile.immediate) < profile.memory) {
            n = std::snprintf(text, sizeof text, "%06llX %s (%05X)\r\n",
                              static_cast<unsigned long long>(address[i]),
                              random() % 2 ? "LD" : "ST",
                              static_cast<unsigned>(random() % profile.memory_range));
        } else if (random() % 4 != 0) {
            n = std::snprintf(text, sizeof text, "%06llX %s R%d, R%d\r\n",
                              static_cast<unsigned long long>(address[i]), kPlain[random() % 9],
                              static_cast<int>(random() % 16), static_cast<int>(random() % 16));
        } else {
            n = std::snprintf(text, sizeof text, "%06llX %s\r\n",
                              static_cast<unsigned long long>(address[i]), kBare[random() % 5]);
        }
        out.append(text, static_cast<std::size_t>(n));
        if (out.size() > (1 << 20) - 128) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

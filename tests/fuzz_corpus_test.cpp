// Replays the fuzzers' seed corpus and every input they ever found a fault with, so those
// stay fixed in every build, fuzzer or not.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "listing_properties.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> inputs_in(const std::vector<std::string>& folders) {
    std::vector<std::string> inputs;
    for (const std::string& folder : folders) {
        fs::path path = fs::path(RELABEL_FUZZ_DIR) / folder;
        if (!fs::exists(path)) continue;
        for (const auto& entry : fs::directory_iterator(path)) {
            std::ifstream in(entry.path(), std::ios::binary);
            inputs.emplace_back(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
        }
    }
    return inputs;
}

TEST(FuzzCorpus, RelabelPropertiesHoldOnEveryKeptInput) {
    std::vector<std::string> inputs = inputs_in({"corpus/relabel", "regressions/relabel"});
    ASSERT_FALSE(inputs.empty());
    for (const std::string& input : inputs) {
        if (input.empty()) continue;
        // As the fuzzer reads it: the first byte shapes the reads, the rest is the listing;
        // and the whole file as a listing, read in a few other ways.
        std::string_view listing(input);
        EXPECT_EQ(check_relabel(listing.substr(1), static_cast<unsigned char>(input[0])), "")
            << input;
        for (unsigned char shape : {0, 5, 64, 255})
            EXPECT_EQ(check_relabel(listing, shape), "") << input;
    }
}

TEST(FuzzCorpus, SplitPropertiesHoldOnEveryKeptInput) {
    std::vector<std::string> inputs = inputs_in({"corpus/split", "regressions/split"});
    ASSERT_FALSE(inputs.empty());
    for (const std::string& input : inputs) EXPECT_EQ(check_split(input), "") << input;
}

}  // namespace

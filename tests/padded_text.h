// Text followed by kReadAhead bytes that are not its own, as every line a LineReader hands out
// is, for tests that give text straight to the splitter or the table. The bytes after it mix
// separators and characters, so a scan that wrongly takes them in shows.
#pragma once

#include <string>
#include <string_view>

#include "byte_words.h"

struct PaddedText {
    std::string bytes;
    std::size_t size = 0;

    explicit PaddedText(std::string_view text) : bytes(text), size(text.size()) {
        static_assert(kReadAhead == 16);
        bytes.append(" x\ty z\t\t w  \0q\tr", kReadAhead);
    }
    std::string_view view() const { return {bytes.data(), size}; }
};

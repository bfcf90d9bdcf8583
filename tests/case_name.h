// Names a row of a table-driven test after its reason, so a failure says which row it was.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

template <typename Case>
std::string case_name(const testing::TestParamInfo<Case>& info) {
    std::string name = std::to_string(info.index);
    for (const char* c = info.param.why; *c != '\0' && name.size() < 60; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

// Lets a case print as its reason, in test listings and failure messages.
#define PRINT_CASE_AS_ITS_REASON(Case) \
    [[maybe_unused]] inline void PrintTo(const Case& c, std::ostream* os) { *os << c.why; }

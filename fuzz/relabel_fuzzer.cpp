// Fuzzes the whole relabelling in memory: reader, splitter, table, passes and writer. The
// first byte decides how the input is cut into reads; the rest is the listing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "listing_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string_view listing(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string failure = check_relabel(listing, data[0]);
    if (!failure.empty()) {
        std::fprintf(stderr, "relabel property failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}

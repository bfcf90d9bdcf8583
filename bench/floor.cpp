// The least any relabelling must cost: read the input three times in large blocks, find every
// line end with memchr, and write an output of a given size in large blocks.
//
//   floor INPUT OUTPUT OUTPUT_BYTES
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: floor INPUT OUTPUT OUTPUT_BYTES\n");
        return 2;
    }
    std::vector<char> block(std::size_t{256} * 1024);
    std::size_t lines = 0;
    for (int pass = 0; pass < 3; ++pass) {
        int fd = open(argv[1], O_RDONLY);
        if (fd < 0) return 1;
        for (ssize_t got; (got = read(fd, block.data(), block.size())) > 0;) {
            const char* at = block.data();
            const char* end = at + got;
            while (const void* lf = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
                ++lines;
                at = static_cast<const char*>(lf) + 1;
            }
        }
        close(fd);
    }
    int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (out < 0) return 2;
    std::memset(block.data(), 'x', block.size());
    for (std::size_t left = std::strtoull(argv[3], nullptr, 10); left != 0;) {
        std::size_t n = left < block.size() ? left : block.size();
        if (write(out, block.data(), n) != static_cast<ssize_t>(n)) return 4;
        left -= n;
    }
    close(out);
    return lines == 0;  // keeps the line search from being optimised away
}

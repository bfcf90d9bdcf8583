// Runs the built relabel as a user would, in a directory of its own, and reports what it
// printed and how it ended.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A fresh, empty directory, removed with everything in it when the object goes.
struct ScratchDirectory {
    std::filesystem::path path;
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
};

struct Launch {
    std::vector<std::string> arguments;       // after the program's name
    std::string standard_input;               // bytes typed at the console
    std::filesystem::path directory;          // the working directory
    std::size_t address_space_limit = 0;      // bytes; 0 leaves it unlimited
};

struct Finished {
    int exit_status = -1;   // -1 when ended by a signal
    int signal = 0;         // the signal that ended it, or 0
    std::string standard_output;
    std::string standard_error;
};

struct Started {
    pid_t pid;
    std::filesystem::path capture;  // where its standard output and error are kept
};

// Starts relabel and returns at once.
Started start_program(const Launch& launch);

// Waits for a started relabel to end.
Finished wait_program(const Started& started);

// Starts relabel and waits for it.
Finished run_program(const Launch& launch);

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& bytes);

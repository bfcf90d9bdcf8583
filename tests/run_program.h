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
    std::vector<std::string> arguments;   // after the program's name
    std::string standard_input;           // bytes typed at the console
    std::filesystem::path directory;      // the working directory
    std::size_t address_space_limit = 0;  // bytes; 0 leaves it unlimited
    bool hangup_ignored = false;          // started with SIGHUP ignored, as nohup does
    bool output_unread = false;           // standard output is a pipe that nobody reads
    bool interactive = false;             // standard input and output are pipes to the test
    std::string standard_output_to;       // a file for standard output instead of the capture
};

// A launch with the given arguments, typed input and working directory, all else default.
Launch launch_in(const std::filesystem::path& directory, std::vector<std::string> arguments,
                 std::string typed = "");

struct Finished {
    int exit_status = -1;  // -1 when ended by a signal
    int signal = 0;        // the signal that ended it, or 0
    std::string standard_output;
    std::string standard_error;
    long peak_kib = 0;  // peak resident memory
};

struct Started {
    pid_t pid;
    std::filesystem::path capture;  // where its standard output and error are kept
    int keyboard = -1;              // interactive: write end of its standard input
    int screen = -1;                // interactive: read end of its standard output
    int unread = -1;                // interactive: read end of its standard input, for what
                                    // it left unread; the caller closes it
};

// Starts relabel and returns at once.
Started start_program(const Launch& launch);

// Waits for a started relabel to end.
Finished wait_program(const Started& started);

// Starts relabel and waits for it.
Finished run_program(const Launch& launch);

// Reads the screen of an interactive run until `wanted` has appeared; returns all it read,
// or what it had when `seconds` passed or the program closed its output.
std::string read_screen_until(const Started& started, const std::string& wanted, int seconds = 20);

// Opens a FIFO for writing once the program has opened it for reading; -1 after `seconds`.
int open_fifo_for_writing(const std::filesystem::path& fifo, int seconds = 20);

// Waits until `path` holds exactly `bytes`; false when `seconds` pass first.
bool wait_for_file(const std::filesystem::path& path, const std::string& bytes, int seconds = 20);

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& bytes);

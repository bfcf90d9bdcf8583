// relabel: numbers the lines of a listing that its operands name, and writes the listing
// again with those labels. This file holds the run from start to end and its one way out.
#include <new>
#include <string>
#include <string_view>

#include "console.h"
#include "exit_status.h"
#include "label_table.h"
#include "line_reader.h"
#include "output_writer.h"
#include "passes.h"
#include "system_io.h"

namespace {

// Everything the run owns, so that any ending can flush and close what is open.
struct Run {
    LabelTable table;
    Console console;
    std::string input_name;
    std::string output_name;
    int input_fd = -1;
    OutputWriter output;
    bool output_open = false;
    LineReader reader;
};

// How the run ends: the status, and the message and name to show for a failure.
struct Ending {
    ExitStatus status = ExitStatus::Success;
    std::string_view message;
    std::string_view name;
};

// True when `name` denotes the open input file: the same name, or the same file reached
// another way (another spelling of the path, a link).
bool is_the_input(const Run& run, const std::string& name) {
    return name == run.input_name || names_same_file(run.input_fd, name);
}

// Closes the input and opens it again by name, for the next pass. False when that fails.
bool reopen_input(Run& run) {
    close_file(run.input_fd);
    run.input_fd = open_for_reading(run.input_name);
    if (run.input_fd < 0) return false;
    open_reader(run.reader, file_source(run.input_fd));
    return true;
}

Ending relabel(Run& run, int argc, char** argv) {
    if (argc > 1) {
        run.input_name = argv[1];
        say(run.console, kInputFile, run.input_name, true);
    } else {
        say(run.console, kGiveInputName);
        run.input_name = read_name(run.console);
    }
    const Ending cant_open{ExitStatus::InputFailed, kCantOpen, run.input_name};
    const Ending cant_read{ExitStatus::InputFailed, kCantRead, run.input_name};
    run.input_fd = open_for_reading(run.input_name);
    if (run.input_fd < 0) return cant_open;

    // The second argument is tried once; a name for the input itself is asked for again.
    bool first_time = true;
    do {
        if (argc > 2 && first_time) {
            run.output_name = argv[2];
            if (!is_the_input(run, run.output_name))
                say(run.console, kOutputFile, run.output_name, true);
        } else {
            say(run.console, kGiveOutputName);
            run.output_name = read_name(run.console);
        }
        first_time = false;
    } while (is_the_input(run, run.output_name));

    int output_fd = create_for_writing(run.output_name);
    if (output_fd < 0) return {ExitStatus::OutputUnopened, kCantCreate, run.output_name};
    open_writer(run.output, file_sink(output_fd));
    run.output_open = true;
    flush_on_exit_signals(&run.output);

    open_reader(run.reader, file_source(run.input_fd));
    collect_operands(run.reader, run.table);
    if (run.reader.read_failed) return cant_read;
    if (!reopen_input(run)) return cant_open;
    number_locations(run.reader, run.table);
    if (run.reader.read_failed) return cant_read;
    if (!reopen_input(run)) return cant_open;
    if (!rewrite_listing(run.reader, run.table, run.output))
        return {ExitStatus::WriteFailed, kCantWrite, run.output_name};
    if (run.reader.read_failed) return cant_read;

    say(run.console, kClosingPrompt);
    wait_for_enter(run.console);
    return {};
}

// The one way out: keeps every completed output line, closes what is open, and shows the
// failure. Allocates nothing, so it also serves when memory has run out.
ExitStatus finish(Run& run, Ending ending) {
    if (run.output_open) {
        bool written = flush_writer(run.output);
        flush_on_exit_signals(nullptr);
        written = close_file(run.output.sink.fd) && written;
        if (!written && ending.status == ExitStatus::Success)
            ending = {ExitStatus::WriteFailed, kCantWrite, run.output_name};
    }
    if (run.input_fd >= 0) close_file(run.input_fd);
    if (ending.status == ExitStatus::OutOfMemory) {
        say(run.console, kAbnormalEnd, {}, false, kStandardError);
    } else if (!ending.message.empty()) {
        say(run.console, ending.message, ending.name, true);
    }
    if (run.console.output_failed && ending.status == ExitStatus::Success) {
        say(run.console, kCantWrite, "standard output", true, kStandardError);
        ending.status = ExitStatus::WriteFailed;
    }
    return ending.status;
}

}  // namespace

int main(int argc, char** argv) {
    ignore_broken_pipe();
    Run run;
    Ending ending;
    try {
        ending = relabel(run, argc, argv);
    } catch (const std::bad_alloc&) {
        ending = {ExitStatus::OutOfMemory, {}, {}};
    }
    return static_cast<int>(finish(run, ending));
}

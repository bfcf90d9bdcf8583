// How a run of relabel ends; main turns it into the process's exit status.
#pragma once

enum class ExitStatus {
    Success = 0,         // all three passes done and the closing prompt answered
    InputFailed = 1,     // the input file can't be opened, at the start or between passes, or
                         // can't be read
    OutputUnopened = 2,  // the output file can't be opened or created
    OutOfMemory = 3,     // memory ran out; every completed output line is kept
    WriteFailed = 4,     // writing the output file (or the console) failed
};

#include "system_io.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

#include "output_writer.h"

int open_for_reading(const std::string& name) {
    int fd;
    do fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    struct stat status;
    if (::fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int create_for_writing(const std::string& name) {
    int fd;
    do fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}

void advise_huge_pages([[maybe_unused]] void* memory, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    ::madvise(memory, bytes, MADV_HUGEPAGE);
#endif
}

bool close_file(int fd) { return ::close(fd) == 0 || errno == EINTR; }

bool names_same_file(int fd, const std::string& name) {
    struct stat open_file, named;
    if (::fstat(fd, &open_file) != 0 || ::stat(name.c_str(), &named) != 0) return false;
    return open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

std::ptrdiff_t read_from(int fd, char* into, std::size_t capacity) {
    for (;;) {
        ssize_t got = ::read(fd, into, capacity);
        if (got >= 0 || errno != EINTR) return got < 0 ? -1 : got;
    }
}

bool write_to(int fd, const char* bytes, std::size_t count) {
    while (count != 0) {
        ssize_t put = ::write(fd, bytes, count);
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (put == 0) return false;
        bytes += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

void ignore_broken_pipe() { ::signal(SIGPIPE, SIG_IGN); }

namespace {

constexpr int kExitSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<OutputWriter*> signal_writer{nullptr};
sigset_t held_signals;
int hold_depth = 0;

void write_completed_lines_and_die(int signal_number) {
    if (OutputWriter* writer = signal_writer.load(std::memory_order_relaxed)) {
        std::size_t complete = writer->complete.load(std::memory_order_relaxed);
        std::atomic_signal_fence(std::memory_order_acquire);
        if (!writer->failed && writer->sink.fd >= 0)
            write_to(writer->sink.fd, writer->data.get(), complete);
    }
    ::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
}

sigset_t exit_signal_set() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal_number : kExitSignals) sigaddset(&set, signal_number);
    return set;
}

}  // namespace

void flush_on_exit_signals(OutputWriter* writer) {
    signal_writer.store(writer);
    struct sigaction action {};
    action.sa_handler = writer ? write_completed_lines_and_die : SIG_DFL;
    action.sa_mask = exit_signal_set();
    for (int signal_number : kExitSignals) {
        // A signal the caller chose to ignore (nohup, say) stays ignored.
        struct sigaction current {};
        ::sigaction(signal_number, nullptr, &current);
        if (current.sa_handler != SIG_IGN) ::sigaction(signal_number, &action, nullptr);
    }
}

void hold_exit_signals() {
    if (hold_depth++ == 0) {
        sigset_t set = exit_signal_set();
        ::sigprocmask(SIG_BLOCK, &set, &held_signals);
    }
}

void release_exit_signals() {
    if (--hold_depth == 0) ::sigprocmask(SIG_SETMASK, &held_signals, nullptr);
}

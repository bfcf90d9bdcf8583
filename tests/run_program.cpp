#include "run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "relabel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    return bytes;
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Started start_program(const Launch& launch) {
    std::string pattern = (fs::temp_directory_path() / "relabel-capture-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    fs::path capture = pattern;
    write_file(capture / "stdin", launch.standard_input);

    std::vector<std::string> words{RELABEL_PROGRAM};
    words.insert(words.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::string in = (capture / "stdin").string(), out = (capture / "stdout").string(),
                err = (capture / "stderr").string(), dir = launch.directory.string();
    if (!launch.standard_output_to.empty()) out = launch.standard_output_to;

    int keyboard[2] = {-1, -1}, screen[2] = {-1, -1};
    if (launch.interactive &&
        (::pipe2(keyboard, O_CLOEXEC) != 0 || ::pipe2(screen, O_CLOEXEC) != 0))
        throw std::runtime_error("pipe failed");
    if (launch.output_unread) {
        if (::pipe2(screen, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        ::close(screen[0]);  // every write to it fails: a broken pipe
        screen[0] = -1;
    }
    bool screen_is_pipe = launch.interactive || launch.output_unread;
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        int in_fd = launch.interactive ? keyboard[0] : ::open(in.c_str(), O_RDONLY);
        int out_fd =
            screen_is_pipe ? screen[1] : ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in_fd < 0 || out_fd < 0 || err_fd < 0 || ::dup2(in_fd, 0) < 0 ||
            ::dup2(out_fd, 1) < 0 || ::dup2(err_fd, 2) < 0 || ::chdir(dir.c_str()) != 0)
            ::_exit(127);
        // The program starts with the dispositions a shell gives it, whatever the test set.
        ::signal(SIGPIPE, SIG_DFL);
        if (launch.hangup_ignored) ::signal(SIGHUP, SIG_IGN);
        if (launch.address_space_limit != 0) {
            rlimit limit{launch.address_space_limit, launch.address_space_limit};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (screen_is_pipe) ::close(screen[1]);
    return {pid, capture, keyboard[1], screen[0], keyboard[0]};
}

Finished wait_program(const Started& started) {
    int status = 0;
    rusage usage{};
    while (::wait4(started.pid, &status, 0, &usage) < 0) {
    }
    Finished finished;
    finished.peak_kib = usage.ru_maxrss;
    if (started.keyboard >= 0) ::close(started.keyboard);
    if (started.screen >= 0) {
        finished.standard_output = read_screen_until(started, std::string(1, '\0'), 5);
        ::close(started.screen);
    }
    if (WIFEXITED(status)) finished.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) finished.signal = WTERMSIG(status);
    if (started.screen < 0) finished.standard_output = read_file(started.capture / "stdout");
    finished.standard_error = read_file(started.capture / "stderr");
    std::error_code ignored;
    fs::remove_all(started.capture, ignored);
    return finished;
}

Finished run_program(const Launch& launch) { return wait_program(start_program(launch)); }

std::string read_screen_until(const Started& started, const std::string& wanted, int seconds) {
    std::string seen;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (seen.find(wanted) == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd ready{started.screen, POLLIN, 0};
        if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
        char bytes[4096];
        ssize_t got = ::read(started.screen, bytes, sizeof bytes);
        if (got <= 0) break;
        seen.append(bytes, static_cast<std::size_t>(got));
    }
    return seen;
}

int open_fifo_for_writing(const fs::path& fifo, int seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::fcntl(fd, F_SETFL, 0);
            return fd;
        }
        if (errno != ENXIO) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return -1;
}

bool wait_for_file(const fs::path& path, const std::string& bytes, int seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (read_file(path) != bytes) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

Launch launch_in(const fs::path& directory, std::vector<std::string> arguments, std::string typed) {
    Launch launch;
    launch.arguments = std::move(arguments);
    launch.standard_input = std::move(typed);
    launch.directory = directory;
    return launch;
}

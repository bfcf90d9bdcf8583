#include "run_program.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

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
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Started start_program(const Launch& launch) {
    char pattern[] = "/tmp/relabel-capture-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    fs::path capture = pattern;
    write_file(capture / "stdin", launch.standard_input);

    std::vector<std::string> words{RELABEL_PROGRAM};
    words.insert(words.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::string in = (capture / "stdin").string(), out = (capture / "stdout").string(),
                err = (capture / "stderr").string(), dir = launch.directory.string();

    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        int in_fd = ::open(in.c_str(), O_RDONLY);
        int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in_fd < 0 || out_fd < 0 || err_fd < 0 || ::dup2(in_fd, 0) < 0 || ::dup2(out_fd, 1) < 0 ||
            ::dup2(err_fd, 2) < 0 || ::chdir(dir.c_str()) != 0)
            ::_exit(127);
        if (launch.address_space_limit != 0) {
            rlimit limit{launch.address_space_limit, launch.address_space_limit};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return {pid, capture};
}

Finished wait_program(const Started& started) {
    int status = 0;
    while (::waitpid(started.pid, &status, 0) < 0) {
    }
    Finished finished;
    if (WIFEXITED(status)) finished.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) finished.signal = WTERMSIG(status);
    finished.standard_output = read_file(started.capture / "stdout");
    finished.standard_error = read_file(started.capture / "stderr");
    std::error_code ignored;
    fs::remove_all(started.capture, ignored);
    return finished;
}

Finished run_program(const Launch& launch) { return wait_program(start_program(launch)); }

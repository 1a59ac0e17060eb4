// Runs one of the real programs as a child process: in a given working
// directory, with a given standard input, without a display, with a time
// limit and optionally a limit on the size of the files it writes.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace korvanti::testing {

struct ChildOptions {
    std::string input;                            // standard input, then end of input
    std::chrono::milliseconds time_limit{10000};  // killed after this
    long file_size_limit = -1;                    // RLIMIT_FSIZE in bytes; -1 none
    std::vector<std::pair<std::string, std::string>> environment;  // set in the child
    std::vector<std::string> arguments;                            // after the program name
    bool separate_error = false;  // standard error into ChildResult::error, not output
};

struct ChildResult {
    int exit_status = -1;  // when it exited
    int signal = 0;        // when a signal ended it
    bool timed_out = false;
    std::string output;  // standard output, and standard error unless kept apart
    std::string error;   // standard error, when kept apart

    bool exited() const { return signal == 0 && !timed_out; }
};

inline ChildResult run_child(const std::string& exe, const std::filesystem::path& dir,
                             const ChildOptions& options = {}) {
    // A child that ends without reading its input must not end the test.
    ::signal(SIGPIPE, SIG_IGN);
    int in_pipe[2];
    int out_pipe[2];
    int err_pipe[2] = {-1, -1};
    if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0) throw std::runtime_error("pipe failed");
    if (options.separate_error && pipe(err_pipe) != 0) throw std::runtime_error("pipe failed");
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const std::string& argument : options.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(in_pipe[0], STDIN_FILENO);
        dup2(out_pipe[1], STDOUT_FILENO);
        dup2(options.separate_error ? err_pipe[1] : out_pipe[1], STDERR_FILENO);
        if (options.separate_error) {
            close(err_pipe[0]);
            close(err_pipe[1]);
        }
        close(in_pipe[0]);
        close(in_pipe[1]);
        close(out_pipe[0]);
        close(out_pipe[1]);
        ::signal(SIGPIPE, SIG_DFL);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        for (const auto& [name, value] : options.environment)
            setenv(name.c_str(), value.c_str(), 1);
        if (options.file_size_limit >= 0) {
            // A write past the limit then fails with EFBIG instead of a signal.
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{static_cast<rlim_t>(options.file_size_limit),
                         static_cast<rlim_t>(options.file_size_limit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (chdir(dir.c_str()) != 0) _exit(126);
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
    close(in_pipe[0]);
    close(out_pipe[1]);
    if (options.separate_error) close(err_pipe[1]);

    // The inputs are a few lines: they fit the pipe, so writing cannot block.
    const std::string& input = options.input;
    size_t written = 0;
    while (written < input.size()) {
        const ssize_t n = write(in_pipe[1], input.data() + written, input.size() - written);
        if (n <= 0) break;  // the child has closed its input
        written += static_cast<size_t>(n);
    }
    close(in_pipe[1]);

    ChildResult result;
    const auto deadline = std::chrono::steady_clock::now() + options.time_limit;
    char buffer[4096];
    // Both pipes are read until each reaches its end: the child has ended.
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.output, &result.error};
    const nfds_t count = options.separate_error ? 2 : 1;
    while (fds[0].fd >= 0 || (count == 2 && fds[1].fd >= 0)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timed_out = true;
            break;
        }
        const int ready = poll(fds, count, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;
        for (nfds_t k = 0; k < count; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0) continue;
            const ssize_t n = read(fds[k].fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                fds[k].fd = -1;  // poll skips it from now on
                continue;
            }
            sinks[k]->append(buffer, static_cast<size_t>(n));
        }
    }
    if (options.separate_error) close(err_pipe[0]);
    close(out_pipe[0]);

    int status = 0;
    if (result.timed_out) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return result;
    }
    // The output ends when the child ends; wait for it within the limit.
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            result.timed_out = true;
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return result;
        }
        usleep(1000);
    }
    if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

}  // namespace korvanti::testing

#include "Subprocess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace zumzik::test {

Subprocess::Result Subprocess::run(const std::vector<std::string>& argv, const std::string& input,
                                   const std::string& workingDirectory) {
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) || ::pipe2(out, O_CLOEXEC) || ::pipe2(err, O_CLOEXEC))
        throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0)
            ::_exit(126);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    ::signal(SIGPIPE, SIG_IGN);

    Result result;
    std::size_t written = 0;
    int stdinFd = in[1];
    if (input.empty()) {
        ::close(stdinFd);
        stdinFd = -1;
    } else {
        ::fcntl(stdinFd, F_SETFL, O_NONBLOCK);
    }
    bool outOpen = true, errOpen = true;
    char buffer[65536];
    while (outOpen || errOpen) {
        pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {stdinFd, POLLOUT, 0}};
        if (::poll(fds, stdinFd >= 0 ? 3 : 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (stdinFd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t n = ::write(stdinFd, input.data() + written, input.size() - written);
            if (n > 0)
                written += static_cast<std::size_t>(n);
            if (n < 0 || written == input.size()) {
                ::close(stdinFd);
                stdinFd = -1;
            }
        }
        auto drain = [&buffer](pollfd& fd, bool& open, std::string& sink) {
            if (!open || !(fd.revents & (POLLIN | POLLHUP | POLLERR)))
                return;
            const ssize_t n = ::read(fd.fd, buffer, sizeof buffer);
            if (n > 0)
                sink.append(buffer, static_cast<std::size_t>(n));
            else
                open = false;
        };
        drain(fds[0], outOpen, result.out);
        drain(fds[1], errOpen, result.err);
    }
    if (stdinFd >= 0)
        ::close(stdinFd);
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace zumzik::test

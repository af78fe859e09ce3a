#include "platform/process.h"

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tessaro::platform {

namespace {

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// Reads what is available on a non-blocking descriptor; false at end of file.
bool Drain(int fd, std::string& out) {
    char buf[4096];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, static_cast<size_t>(n));
            continue;
        }
        if (n == 0)
            return false;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

// Why `folder` cannot be made the current folder (0: it can, as far as the
// file system tells beforehand).
int CannotEnter(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode)) return ENOTDIR;
    if (::access(folder.c_str(), X_OK) != 0) return errno;
    return 0;
}

// Starts a program that is waited for, its output and errors into `out`.
// posix_spawn does not copy this process's memory as fork does (a copy that
// costs the whole start of a small helper in a process that holds the
// preview's pictures). Returns the error number when it cannot start.
int Spawn(pid_t& pid, const std::string& path, char* const* argv, const std::string& workDir, int out) {
    posix_spawn_file_actions_t fa;
    if (int rc = ::posix_spawn_file_actions_init(&fa)) return rc;
    int rc = ::posix_spawn_file_actions_adddup2(&fa, out, STDOUT_FILENO);
    if (rc == 0) rc = ::posix_spawn_file_actions_adddup2(&fa, out, STDERR_FILENO);
    if (rc == 0 && !workDir.empty()) rc = ::posix_spawn_file_actions_addchdir_np(&fa, workDir.c_str());
    if (rc == 0)
        rc = path.find('/') != std::string::npos
                 ? ::posix_spawn(&pid, path.c_str(), &fa, nullptr, argv, environ)
                 : ::posix_spawnp(&pid, path.c_str(), &fa, nullptr, argv, environ);
    ::posix_spawn_file_actions_destroy(&fa);
    return rc;
}

int DecodeStatus(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

// Waits for the started program `pid` until it ends or `timeoutMs` pass
// (then it is killed), collecting into result.Output what it writes to the
// pipe end `outFd` (closed here).
void WaitFor(pid_t pid, int outFd, int timeoutMs, const std::function<void()>& pump,
             ProcessResult& result) {
    int out[1] = {outFd};
    ::fcntl(out[0], F_SETFL, ::fcntl(out[0], F_GETFL) | O_NONBLOCK);
    // A descriptor that becomes readable when the program ends, so the wait
    // below wakes at its exit instead of polling on a fixed sleep; without
    // one (older kernels) the wait backs off from 0.1 ms towards 10 ms.
#ifdef SYS_pidfd_open
    int exitFd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    int exitFd = -1;
#endif
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool open = true;
    int st = 0;
    bool exited = false;
    int backoffUs = 100;
    for (;;) {
        pid_t w = ::waitpid(pid, &st, WNOHANG);
        if (w == pid) {
            exited = true;
            break;
        }
        if (pump)
            pump();
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            break;
        // Wake at least every 10 ms for the pump and the deadline.
        const int left = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count()) + 1;
        const int slice = std::min(10, left);
        pollfd p[2];
        nfds_t n = 0;
        if (open)
            p[n++] = pollfd{out[0], POLLIN, 0};
        if (exitFd >= 0)
            p[n++] = pollfd{exitFd, POLLIN, 0};
        if (n > 0) {
            ::poll(p, n, slice);
        } else {
            ::usleep(static_cast<useconds_t>(std::min(backoffUs, slice * 1000)));
            backoffUs = std::min(backoffUs * 2, 10 * 1000);
        }
        if (open)
            open = Drain(out[0], result.Output);
    }
    CloseFd(exitFd);
    if (exited) {
        // Collect what is left in the pipe (a grandchild may hold it open, so
        // do not block on it).
        if (open)
            Drain(out[0], result.Output);
        result.Finished = true;
        result.ExitCode = DecodeStatus(st);
    } else {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &st, 0);
        if (open)
            Drain(out[0], result.Output);
    }
    CloseFd(out[0]);
}

} // namespace

ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir, int timeoutMs,
                         const std::function<void()>& pump) {
    ProcessResult result;
    const bool wait = timeoutMs >= 0;

    // A relative program path means the current folder's, not workDir's: the
    // child changes folder before it starts the program.
    std::string path = program;
    if (!path.empty() && path[0] != '/' && path.find('/') != std::string::npos &&
        !workDir.empty()) {
        char here[4096];
        if (::getcwd(here, sizeof here))
            path = std::string(here) + "/" + path;
    }

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    if (wait) {
        int out[2] = {-1, -1};
        if (::pipe2(out, O_CLOEXEC) != 0) {
            result.Error = std::string("Cannot create a pipe: ") + std::strerror(errno);
            return result;
        }
        pid_t pid = -1;
        const int rc = Spawn(pid, path, argv.data(), workDir, out[1]);
        CloseFd(out[1]);
        if (rc != 0) {
            CloseFd(out[0]);
            // Which of the two steps failed decides the message.
            const int folder = workDir.empty() ? 0 : CannotEnter(workDir);
            if (folder != 0)
                result.Error = "Cannot change to the folder \"" + workDir + "\": " + std::strerror(folder);
            else
                result.Error = "Cannot start \"" + program + "\": " + std::strerror(rc);
            return result;
        }
        result.Started = true;
        WaitFor(pid, out[0], timeoutMs, pump, result);
        return result;
    }

    // A program that is not waited for runs in a grandchild, so it never
    // lingers as a zombie. A status pipe closed on exec: the child writes
    // errno into it only when chdir or exec fails, so an empty read means the
    // program really started.
    int status[2] = {-1, -1};
    if (::pipe2(status, O_CLOEXEC) != 0) {
        result.Error = std::string("Cannot create a pipe: ") + std::strerror(errno);
        return result;
    }
    pid_t pid = ::fork();
    if (pid < 0) {
        result.Error = std::string("Cannot start \"") + program + "\": " + std::strerror(errno);
        CloseFd(status[0]);
        CloseFd(status[1]);
        return result;
    }
    if (pid == 0) {
        // Child: only async-signal-safe calls from here on.
        pid_t grandchild = ::fork();
        if (grandchild < 0) {
            int report[2] = {2, errno};
            ssize_t ignored = ::write(status[1], report, sizeof report);
            (void)ignored;
            ::_exit(127);
        }
        if (grandchild > 0)
            ::_exit(0);
        int devnull = ::open("/dev/null", O_RDONLY);
        if (devnull >= 0)
            ::dup2(devnull, STDIN_FILENO);
        int stage = 0;
        if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) {
            stage = 1;
        } else {
            if (path.find('/') != std::string::npos)
                ::execv(path.c_str(), argv.data());
            else
                ::execvp(path.c_str(), argv.data());
            stage = 2;
        }
        int report[2] = {stage, errno};
        ssize_t ignored = ::write(status[1], report, sizeof report);
        (void)ignored;
        ::_exit(127);
    }

    CloseFd(status[1]);
    int report[2] = {0, 0};
    ssize_t got;
    do {
        got = ::read(status[0], report, sizeof report);
    } while (got < 0 && errno == EINTR);
    CloseFd(status[0]);
    int st = 0;
    ::waitpid(pid, &st, 0); // the intermediate child exits at once
    if (got == static_cast<ssize_t>(sizeof report)) {
        if (report[0] == 1)
            result.Error =
                "Cannot change to the folder \"" + workDir + "\": " + std::strerror(report[1]);
        else
            result.Error = "Cannot start \"" + program + "\": " + std::strerror(report[1]);
        return result;
    }
    result.Started = true;
    return result;
}

} // namespace tessaro::platform

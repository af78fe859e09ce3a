#pragma once
// Runs a program of the build as a user would from a shell, for the tests of
// the command-line tools: its exit status and what it printed.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "support/test_util.h"

extern char** environ;

namespace tessaro::testsupport {

struct RunResult {
    int Exit = -1; // -1: not started, or ended by a signal
    std::string Out;
    std::string Err;
};

// Runs `args` (args[0] the program's path) and waits for it. Standard output
// and error go through files in `scratchDir` (ending in '/').
inline RunResult RunProgram(std::vector<std::string> args, const std::string& scratchDir) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string out = scratchDir + "stdout", err = scratchDir + "stderr";
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    RunResult r;
    if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        r.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.Out = Slurp(out);
        r.Err = Slurp(err);
    }
    posix_spawn_file_actions_destroy(&fa);
    return r;
}

} // namespace tessaro::testsupport

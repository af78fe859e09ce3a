#pragma once
// Starting external programs: an argument list (never a shell string),
// optionally waiting with a timeout.
#include <functional>
#include <string>
#include <vector>

namespace tessaro::platform {

struct ProcessResult {
    bool Started = false;   // false: missing or not executable (Error holds why)
    bool Finished = false;  // exited within the timeout
    int ExitCode = -1;
    std::string Output;     // what it printed on stdout and stderr
    std::string Error;      // why it could not be started
};

// Starts `program` with `args` in `workDir` ("" for the current folder).
// timeoutMs < 0: do not wait (Finished false). Otherwise waits up to
// timeoutMs, calling `pump` (when given) every few milliseconds so a window
// stays responsive; a program still running at the timeout is killed.
ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir, int timeoutMs,
                         const std::function<void()>& pump = {});

} // namespace tessaro::platform

#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "Gate.h"

namespace ombrix::test {

// A program started in a child process with the test's environment, its
// stdout and stderr kept in files named by `outputPrefix`.
class ChildProcess {
public:
    struct Options {
        // The program starts once the gate opens.
        const Gate* gate;
        std::optional<uid_t> uid;
        // Where stdout goes instead of a file, when not -1.
        int stdoutFd;
    };
    static constexpr Options kPlain{nullptr, std::nullopt, -1};

    ChildProcess(const std::vector<std::string>& argv, const std::string& outputPrefix, Options options = kPlain);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ChildProcess(ChildProcess&& other) noexcept;
    // Kills a program still running.
    ~ChildProcess();

    // Takes charge of a child the test forked itself.
    static ChildProcess adopt(pid_t pid, const std::string& outputPrefix);

    pid_t pid() const { return pid_; }
    bool running();
    // The exit status, or -1 when a signal ended it.
    int wait();
    std::string out() const;
    std::string err() const;

private:
    ChildProcess(pid_t pid, std::string outputPrefix) : pid_(pid), outputPrefix_(std::move(outputPrefix)) {}

    pid_t pid_ = -1;
    std::optional<int> status_;
    std::string outputPrefix_;
};

}  // namespace ombrix::test

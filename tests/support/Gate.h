#pragma once

namespace ombrix::test {

// Holds child processes at their start until the test opens it, so that they
// race from the same moment.
class Gate {
public:
    Gate();
    ~Gate();
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;

    // In the test: lets every child waiting at the gate go.
    void open();
    // In a child: waits until the gate is open.
    void pass() const;

private:
    int fds_[2] = {-1, -1};
};

}  // namespace ombrix::test

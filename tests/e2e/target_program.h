#pragma once

#include <chrono>
#include <string>

#include "x11_probe.h"

namespace tastalo::test {

// One running target program (korvedo_target): started with a title and a
// log file, stopped with the object.
class TargetProgram {
public:
    TargetProgram(X11Probe& probe, const std::string& program, const std::string& title,
                  const std::string& logPath);
    ~TargetProgram();
    TargetProgram(const TargetProgram&) = delete;
    TargetProgram& operator=(const TargetProgram&) = delete;

    // True once its window is on the screen (waits up to 30 s: the machine
    // running the tests may be busy).
    bool started() const { return m_window != 0; }
    unsigned long window() const { return m_window; }

    // The log as it stands once it holds `lines` line ends, or after the timeout.
    std::string logAfter(std::size_t lines, std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    std::string log() const;
    void clearLog() const;

private:
    int m_pid = -1;
    unsigned long m_window = 0;
    std::string m_logPath;
};

// Runs a command line and gives its exit status.
int run(const std::string& commandLine);

}  // namespace tastalo::test

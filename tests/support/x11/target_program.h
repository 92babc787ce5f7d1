#pragma once

#include <spawn.h>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "x11_probe.h"

namespace tastalo::prova {

// One running target program (korvedo_target): started with a title and a
// log file, stopped with the object.
class TargetProgram {
public:
    TargetProgram(X11Probe& probe, const std::string& program, const std::string& title,
                  const std::string& logPath);
    // Any program: `argv` as given, its window found by its title, its
    // standard output written to `outputPath` unless that is empty; it
    // writes `logPath` itself, which may be the same file.
    TargetProgram(X11Probe& probe, const std::vector<std::string>& argv, const std::string& title,
                  const std::string& logPath, const std::string& outputPath);
    // Any program on any display: `shown` tells when its window is there.
    TargetProgram(const std::vector<std::string>& argv, const std::function<bool()>& shown,
                  const std::string& logPath);
    ~TargetProgram();
    TargetProgram(const TargetProgram&) = delete;
    TargetProgram& operator=(const TargetProgram&) = delete;

    // True once its window is on the screen (waits up to 30 s: the machine
    // running the tests may be busy).
    bool started() const { return m_window != 0; }
    int pid() const { return m_pid; }
    unsigned long window() const { return m_window; }

    // The log as it stands once it holds `lines` line ends, or once it has
    // not grown for the timeout.
    std::string logAfter(std::size_t lines,
                         std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    // The log before `marker` and a line end, once they have arrived; nothing
    // if the log stopped growing for the timeout without them. Keys typed into the window after a
    // send arrive after all of the send's keys, so a marker typed then shows
    // at once everything the send ever typed there, even without an Enter.
    std::optional<std::string> logBefore(const std::string& marker,
                                         std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    std::string log() const;
    void clearLog() const;

private:
    // `window` gives the window once it is there, else 0.
    void start(const std::vector<std::string>& argv, const posix_spawn_file_actions_t* actions,
               const std::function<unsigned long()>& window);
    static std::function<unsigned long()> windowOf(X11Probe& probe, const std::string& title, const int& pid);

    // The log once `done` holds for it, or as it stands once it has not
    // grown for the timeout.
    std::string logWhen(const std::function<bool(const std::string&)>& done,
                        std::chrono::milliseconds timeout) const;

    int m_pid = -1;
    unsigned long m_window = 0;
    std::string m_logPath;
};

// Runs a command line and gives its exit status.
int run(const std::string& commandLine);

}  // namespace tastalo::prova

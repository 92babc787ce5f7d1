#include "target_program.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace tastalo::prova {

TargetProgram::TargetProgram(X11Probe& probe, const std::string& program, const std::string& title,
                             const std::string& logPath)
    : m_logPath(logPath) {
    start({program, title, logPath}, nullptr, windowOf(probe, {}, m_pid));
}

TargetProgram::TargetProgram(X11Probe& probe, const std::vector<std::string>& argv, const std::string& title,
                             const std::string& logPath, const std::string& outputPath)
    : m_logPath(logPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!outputPath.empty())
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    start(argv, &actions, windowOf(probe, title, m_pid));
    posix_spawn_file_actions_destroy(&actions);
}

TargetProgram::TargetProgram(const std::vector<std::string>& argv, const std::function<bool()>& shown,
                             const std::string& logPath)
    : m_logPath(logPath) {
    start(argv, nullptr, [&shown] { return shown() ? 1ul : 0ul; });
}

std::function<unsigned long()> TargetProgram::windowOf(X11Probe& probe, const std::string& title,
                                                       const int& pid) {
    return [&probe, title, &pid] {
        return title.empty() ? probe.windowOfProcess(pid) : probe.windowTitled(title);
    };
}

void TargetProgram::start(const std::vector<std::string>& arguments,
                          const posix_spawn_file_actions_t* actions,
                          const std::function<unsigned long()>& window) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (posix_spawnp(&m_pid, argv[0], actions, nullptr, argv.data(), environ) != 0) {
        m_pid = -1;
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        m_window = window();
        if (m_window != 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TargetProgram::~TargetProgram() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
}

std::string TargetProgram::log() const {
    std::ifstream file(m_logPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void TargetProgram::clearLog() const {
    // The target appends, so emptying the file in place is enough.
    std::ofstream(m_logPath, std::ios::binary | std::ios::trunc);
}

std::string TargetProgram::logWhen(const std::function<bool(const std::string&)>& done,
                                   std::chrono::milliseconds timeout) const {
    // A target still working through a long run of keys is slow, not stuck:
    // the timeout counts from the last time its log grew.
    auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string text = log();
    while (!done(text) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::string now = log();
        if (now.size() != text.size()) deadline = std::chrono::steady_clock::now() + timeout;
        text = std::move(now);
    }
    return text;
}

std::string TargetProgram::logAfter(std::size_t lines, std::chrono::milliseconds timeout) const {
    return logWhen(
        [lines](const std::string& text) {
            return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= lines;
        },
        timeout);
}

std::optional<std::string> TargetProgram::logBefore(const std::string& marker,
                                                    std::chrono::milliseconds timeout) const {
    const std::string ending = marker + "\n";
    const std::string text =
        logWhen([&](const std::string& soFar) { return soFar.find(ending) != std::string::npos; }, timeout);
    const auto at = text.find(ending);
    if (at == std::string::npos) return std::nullopt;
    return text.substr(0, at);
}

int run(const std::string& commandLine) {
    const int status = std::system(commandLine.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tastalo::prova

#include "typing_target.h"

#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/keyboard_target.h"
#include "platform/title_match.h"

extern char** environ;

namespace tastalo::bench {

namespace {

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

TypingTarget::TypingTarget(const std::string& program, const std::string& title, Kind kind) : m_title(title) {
    char pattern[] = "/tmp/typing-bench.XXXXXX";
    if (const char* folder = mkdtemp(pattern)) m_folder = folder;
    const std::string log = m_folder + "/target.log";
    if (kind == Kind::Korvedo) {
        m_program = std::make_unique<prova::TargetProgram>(m_probe, program, title, log);
        return;
    }
    if (kind == Kind::Gtk) {
        // Debian's Python, the one python3-gi is for.
        m_program = std::make_unique<prova::TargetProgram>(
            m_probe, std::vector<std::string>{"/usr/bin/python3", program, title, log}, title, log,
            std::string());
        return;
    }
    // cat logs each line the terminal hands on at Enter, as xterm encodes
    // it: UTF-8, whatever the benchmark's own locale.
    m_program = std::make_unique<prova::TargetProgram>(
        m_probe,
        std::vector<std::string>{"env", "LC_ALL=C.UTF-8", "xterm", "-T", title, "-u8", "-e", "/bin/sh", "-c",
                                 "stty -echo; exec cat >> '" + log + "'"},
        title, log, std::string());
}

TypingTarget::~TypingTarget() {
    m_program.reset();
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

bool TypingTarget::reset() {
    const std::size_t before = lineCount(m_program->log());
    auto keyboard = platform::createKeyboardTarget();
    // The window manager may be seconds behind after a fast send into a Qt
    // window: Qt renews _NET_WM_USER_TIME at every key, openbox reads it back
    // each time, and every keymap change makes it reload its key bindings.
    bool activated = false;
    for (int attempt = 0; attempt < 60 && !activated; ++attempt)
        activated = keyboard->activate(platform::fromUtf8(m_title)).ok();
    if (!activated || !keyboard->pressEnter().ok()) return false;
    keyboard->finish();
    // The Enter empties the text box by logging what it held (maybe nothing).
    const bool emptied = lineCount(m_program->logAfter(before + 1)) > before;
    m_program->clearLog();
    return emptied;
}

TypingTarget::Received TypingTarget::awaitLines(std::size_t lines, Clock::time_point start,
                                                std::chrono::seconds patience) const {
    Received received;
    const auto deadline = start + patience;
    for (;;) {
        received.log = m_program->log();
        if (lineCount(received.log) >= lines || Clock::now() > deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    received.sinceStart = Clock::now() - start;
    return received;
}

bool startXdotool(const std::string& text, int& pid) {
    // xdotool types a carriage return as the Return key, a line feed as
    // Linefeed, which is no Enter.
    std::string typed = text;
    std::replace(typed.begin(), typed.end(), '\n', '\r');
    std::vector<char*> argv = {const_cast<char*>("xdotool"),
                               const_cast<char*>("type"),
                               const_cast<char*>("--delay"),
                               const_cast<char*>("0"),
                               typed.data(),
                               nullptr};
    pid_t child = -1;
    if (posix_spawnp(&child, "xdotool", nullptr, nullptr, argv.data(), environ) != 0) return false;
    pid = child;
    return true;
}

void waitXdotool(int pid) {
    int status = 0;
    waitpid(pid, &status, 0);
}

}  // namespace tastalo::bench

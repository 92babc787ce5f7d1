#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "target_program.h"
#include "x11_probe.h"

namespace tastalo::bench {

// A target program on the display, with a log of every line entered: the
// stand-in Qt program, its GTK counterpart (gtk_line_target.py), or an xterm
// running cat, a target that answers no ping.
class TypingTarget {
public:
    using Clock = std::chrono::steady_clock;
    enum class Kind { Korvedo, Gtk, Xterm };

    // `program` is korvedo_target's path or the GTK script's, unused for an xterm.
    TypingTarget(const std::string& program, const std::string& title, Kind kind = Kind::Korvedo);
    ~TypingTarget();
    TypingTarget(const TypingTarget&) = delete;
    TypingTarget& operator=(const TypingTarget&) = delete;

    bool started() const { return m_program->started(); }
    const std::string& title() const { return m_title; }

    // Brings the target to the front with its text box empty and its log
    // cleared, so that no run inherits anything from the one before.
    bool reset();

    // Waits (up to `patience`) until the log holds `lines` line ends, and
    // gives the log and how long after `start` that happened.
    struct Received {
        std::string log;
        std::chrono::duration<double> sinceStart{};
    };
    Received awaitLines(std::size_t lines, Clock::time_point start,
                        std::chrono::seconds patience = std::chrono::seconds(180)) const;

private:
    std::string m_title;
    std::string m_folder;
    prova::X11Probe m_probe;
    std::unique_ptr<prova::TargetProgram> m_program;
};

// Types `text` with `xdotool type --delay 0` (a line feed is typed as the
// Return key) and returns without waiting for it to finish; waitXdotool()
// reaps it. False when xdotool could not be started.
bool startXdotool(const std::string& text, int& pid);
void waitXdotool(int pid);

}  // namespace tastalo::bench

#pragma once

#include <string>
#include <vector>

namespace tastalo::prova {

// Runs the target side in this process: one top-level window per title, in
// the order given (so the last is the most recently active), each holding a
// multi-line edit box that has the keyboard focus whenever its window is
// active. Each window carries its position in `titles` as its user data.
// Returns when every window has been closed.
//
// Options: `readPauseMs` makes the target slow, pausing that long at each
// character it reads; `stealAfterMs`, when not 0, brings its last window to
// the front that long after start, as another program would; `fast` draws
// nothing, keeping the characters in a hidden box, for a target that reads
// as fast as Windows hands it keys.
struct TargetOptions {
    unsigned readPauseMs = 0;
    unsigned stealAfterMs = 0;
    bool fast = false;
};
int runTargetWindows(const std::vector<std::wstring>& titles, TargetOptions options = {});

// The same from the words after --target: the options, each with its
// value (--read-pause MS, --steal-after MS, --fast 1), then the titles.
int runTargetProgram(const std::vector<std::wstring>& arguments);

}  // namespace tastalo::prova

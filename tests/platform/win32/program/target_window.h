#pragma once

#include <string>
#include <vector>

namespace tastalo::prova {

// Runs the target side in this process: one top-level window per title, in
// the order given (so the last is the most recently active), each holding a
// multi-line edit box that has the keyboard focus whenever its window is
// active. Each window carries its position in `titles` as its user data.
// Returns when every window has been closed.
int runTargetWindows(const std::vector<std::wstring>& titles);

}  // namespace tastalo::prova

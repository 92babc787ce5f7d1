#pragma once

#include <string>

namespace tastalo::bench {

// Empty when the target received exactly the expected text; otherwise where
// the two first part, line by line, so that a lost, added or swapped
// character is easy to find: "line 12: expected "AB", received "A"".
std::string firstDifference(const std::string& received, const std::string& expected);

}  // namespace tastalo::bench

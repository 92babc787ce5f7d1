#include "log_comparison.h"

#include <algorithm>
#include <cstddef>

namespace tastalo::bench {

namespace {

// The line of `text` that starts at `start`, without its line end, or
// "(nothing)" past the end.
std::string lineAt(const std::string& text, std::size_t start) {
    if (start >= text.size()) return "(nothing)";
    const std::size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return "\"" + line + "\"" + (end == std::string::npos ? " with no line end" : "");
}

}  // namespace

std::string firstDifference(const std::string& received, const std::string& expected) {
    if (received == expected) return {};
    const auto mismatch = std::mismatch(received.begin(), received.end(), expected.begin(), expected.end());
    const auto offset = static_cast<std::size_t>(mismatch.first - received.begin());
    const std::size_t lineStart = received.rfind('\n', offset == 0 ? std::string::npos : offset - 1);
    const std::size_t start = offset == 0 || lineStart == std::string::npos ? 0 : lineStart + 1;
    const auto line =
        std::count(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(start), '\n') + 1;
    return "line " + std::to_string(line) + ": expected " + lineAt(expected, start) + ", received " +
           lineAt(received, start);
}

}  // namespace tastalo::bench

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Window choice by title, shared by every backend so that each picks the
// same window for the same titles.
namespace tastalo::platform {

struct WindowCandidate {
    std::uint64_t id = 0;  // the backend's own handle
    std::u32string title;
    std::uint64_t recency = 0;  // higher = more recently active (e.g. stacking position)
};

// Simple case folding for comparisons without regard to case (ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic letters).
std::u32string foldCase(std::u32string_view text);

// A window whose title equals `wanted` without regard to case; failing that,
// one whose title begins with it. Several of the same kind: the most recently
// active. An empty `wanted` matches nothing.
std::optional<std::size_t> chooseWindow(const std::vector<WindowCandidate>& candidates,
                                        std::u32string_view wanted);

// How the title of the window chooseWindow() picks matches the wanted one;
// a better match compares greater.
enum class TitleMatch { None, Beginning, Exact };
TitleMatch titleMatch(const std::vector<WindowCandidate>& candidates, std::u32string_view wanted);

// True for characters a barcode may hold: everything but control characters,
// Tab excepted.
bool isTypeable(char32_t c);

// UTF-8 <-> UTF-32 for the backends' system calls (invalid input becomes U+FFFD).
std::u32string fromUtf8(std::string_view text);
std::string toUtf8(std::u32string_view text);

}  // namespace tastalo::platform

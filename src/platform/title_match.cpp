#include "platform/title_match.h"

namespace tastalo::platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isEven(char32_t c) { return (c & 1U) == 0; }

// Simple (one to one) case folding of the blocks window titles are written in.
char32_t foldChar(char32_t c) {
    if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 0x20 : c;
    if (c == 0x00B5) return 0x03BC;                                  // micro sign
    if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) return c + 0x20;  // Latin-1
    if (c >= 0x0100 && c <= 0x017F) {                                // Latin Extended-A
        if (c == 0x0130) return U'i';
        if (c == 0x0178) return 0x00FF;
        if (c == 0x017F) return U's';
        if ((c >= 0x0100 && c <= 0x012F) || (c >= 0x0132 && c <= 0x0137) || (c >= 0x014A && c <= 0x0177))
            return isEven(c) ? c + 1 : c;
        if ((c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E)) return isEven(c) ? c : c + 1;
        return c;
    }
    if (c >= 0x0370 && c <= 0x03FF) {  // Greek
        if (c == 0x0386) return 0x03AC;
        if (c >= 0x0388 && c <= 0x038A) return c + 0x25;
        if (c == 0x038C) return 0x03CC;
        if (c == 0x038E || c == 0x038F) return c + 0x3F;
        if (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) return c + 0x20;
        if (c == 0x03C2) return 0x03C3;  // final sigma compares as sigma
        return c;
    }
    if (c >= 0x0400 && c <= 0x052F) {  // Cyrillic
        if (c <= 0x040F) return c + 0x50;
        if (c <= 0x042F) return c + 0x20;
        if (c >= 0x0460 && c <= 0x0481) return isEven(c) ? c + 1 : c;
        if (c >= 0x048A && c <= 0x04BF) return isEven(c) ? c + 1 : c;
        if (c == 0x04C0) return 0x04CF;
        if (c >= 0x04C1 && c <= 0x04CE) return isEven(c) ? c : c + 1;
        if (c >= 0x04D0) return isEven(c) ? c + 1 : c;
        return c;
    }
    return c;
}

bool isValidScalar(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// Index of the best candidate satisfying `matches`: the highest recency, and
// among equals the later one in the list.
template <typename Pred>
std::optional<std::size_t> mostRecent(const std::vector<WindowCandidate>& candidates, Pred matches) {
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (!matches(candidates[i])) continue;
        if (!best || candidates[i].recency >= candidates[*best].recency) best = i;
    }
    return best;
}

}  // namespace

std::u32string foldCase(std::u32string_view text) {
    std::u32string folded;
    folded.reserve(text.size());
    for (char32_t c : text) folded.push_back(foldChar(c));
    return folded;
}

std::optional<std::size_t> chooseWindow(const std::vector<WindowCandidate>& candidates,
                                        std::u32string_view wanted) {
    if (wanted.empty()) return std::nullopt;
    const std::u32string key = foldCase(wanted);
    std::vector<std::u32string> folded;
    folded.reserve(candidates.size());
    for (const WindowCandidate& candidate : candidates) folded.push_back(foldCase(candidate.title));

    auto indexOf = [&candidates](const WindowCandidate& c) {
        return static_cast<std::size_t>(&c - candidates.data());
    };
    if (auto exact =
            mostRecent(candidates, [&](const WindowCandidate& c) { return folded[indexOf(c)] == key; }))
        return exact;
    return mostRecent(candidates,
                      [&](const WindowCandidate& c) { return folded[indexOf(c)].starts_with(key); });
}

TitleMatch titleMatch(const std::vector<WindowCandidate>& candidates, std::u32string_view wanted) {
    const auto chosen = chooseWindow(candidates, wanted);
    if (!chosen) return TitleMatch::None;
    return foldCase(candidates[*chosen].title) == foldCase(wanted) ? TitleMatch::Exact
                                                                   : TitleMatch::Beginning;
}

bool isTypeable(char32_t c) {
    if (c == U'\t') return true;
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;  // control characters
    if (!isValidScalar(c)) return false;
    // Noncharacters have no key symbol on any keyboard.
    if ((c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE) return false;
    return true;
}

std::u32string fromUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    const std::size_t size = text.size();
    auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    while (i < size) {
        const unsigned char lead = byte(i);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;   // overlong
            if (lead == 0xED) high = 0x9F;  // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;   // overlong
            if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        char32_t value = lead & (0x7F >> length);
        // A broken sequence becomes one replacement character, and decoding
        // resumes at the first byte that could not continue it.
        int taken = 1;
        for (; taken < length && i + taken < size; ++taken) {
            const unsigned char next = byte(i + taken);
            const unsigned char min = taken == 1 ? low : 0x80;
            const unsigned char max = taken == 1 ? high : 0xBF;
            if (next < min || next > max) break;
            value = (value << 6) | (next & 0x3F);
        }
        out.push_back(taken == length ? value : kReplacement);
        i += static_cast<std::size_t>(taken);
    }
    return out;
}

std::string toUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (!isValidScalar(c)) c = kReplacement;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

}  // namespace tastalo::platform

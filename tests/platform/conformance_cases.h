#pragma once

#include <string>
#include <vector>

// One list of cases that every keystroke backend must pass, so that a case
// added for one platform is checked on all. Plain C++: the Windows test
// program includes it without GoogleTest.
namespace tastalo::platform::conformance {

// Each barcode is typed, then Enter; the target must receive exactly the
// barcode followed by a line end.
struct TypingCase {
    const char* name;
    std::u32string barcode;
};

inline const std::vector<TypingCase>& typingCases() {
    static const std::vector<TypingCase> cases = {
        {"digits", U"8001234567890"},
        {"letters and digits", U"AbC123xyz"},
        {"spaces inside", U"LOT 42 B"},
        {"key language characters", U"+^%~(){}[]"},
        {"looks like a key name", U"{ENTER}%{F4}+a"},
        {"punctuation", U"a-b_c.d,e;f:g/h\\i|j'k\"l!m?n@o#p$q&r*s=t<u>v`w"},
        {"accented letters", U"àèéìòùÀÈÉ"},
        {"symbols a US keymap lacks", U"éß€Ω"},
        {"character beyond U+FFFF", U"A\U0001D11EB"},
        {"tab inside", U"A\tB"},
        {"empty barcode", U""},
    };
    return cases;
}

struct TitleCase {
    const char* name;
    std::vector<std::u32string> titles;  // from least to most recently active
    std::u32string wanted;
    int expected;  // index into titles, or -1 for none
};

inline const std::vector<TitleCase>& titleCases() {
    static const std::vector<TitleCase> cases = {
        {"exact title", {U"Korvedo"}, U"Korvedo", 0},
        {"different case", {U"KORVEDO"}, U"korvedo", 0},
        {"beginning of a title", {U"Korvedo - Ordini"}, U"Korvedo", 0},
        {"exact wins over beginning", {U"Korvedo", U"Korvedo - Ordini"}, U"korvedo", 0},
        {"several exact: most recent", {U"Korvedo", U"Korvedo"}, U"Korvedo", 1},
        {"several beginnings: most recent", {U"Korvedo 1", U"Korvedo 2", U"Altro"}, U"Korvedo", 1},
        {"middle of a title does not count", {U"Il Korvedo"}, U"Korvedo", -1},
        {"no window", {U"Altro"}, U"Korvedo", -1},
        {"accented title without regard to case", {U"CAFFÈ"}, U"caffè", 0},
        {"empty wanted title matches nothing", {U"Korvedo"}, U"", -1},
    };
    return cases;
}

}  // namespace tastalo::platform::conformance

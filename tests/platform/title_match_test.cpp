#include "platform/title_match.h"

#include <gtest/gtest.h>

#include "platform/conformance_cases.h"

namespace tastalo::platform {
namespace {

std::vector<WindowCandidate> candidatesFrom(const std::vector<std::u32string>& titles) {
    std::vector<WindowCandidate> candidates;
    for (std::size_t i = 0; i < titles.size(); ++i) candidates.push_back({100 + i, titles[i], i + 1});
    return candidates;
}

TEST(ChooseWindow, EveryTitleConformanceCaseChoosesTheExpectedWindow) {
    for (const auto& testCase : conformance::titleCases()) {
        const auto chosen = chooseWindow(candidatesFrom(testCase.titles), testCase.wanted);
        if (testCase.expected < 0) {
            EXPECT_FALSE(chosen.has_value()) << testCase.name;
        } else {
            ASSERT_TRUE(chosen.has_value()) << testCase.name;
            EXPECT_EQ(*chosen, static_cast<std::size_t>(testCase.expected)) << testCase.name;
        }
    }
}

TEST(ChooseWindow, RecencyDecidesNotThePlaceInTheList) {
    // The most recently active window comes first in the list here.
    const std::vector<WindowCandidate> candidates = {
        {1, U"Korvedo - B", 9}, {2, U"Korvedo - A", 3}, {3, U"Korvedo", 1}, {4, U"korvedo", 5}};
    EXPECT_EQ(chooseWindow(candidates, U"KORVEDO"), 3U);
    EXPECT_EQ(chooseWindow(candidates, U"Korvedo -"), 0U);
}

TEST(ChooseWindow, NoCandidatesOrAWantedTitleLongerThanEveryTitleMatchNothing) {
    EXPECT_FALSE(chooseWindow({}, U"Korvedo").has_value());
    EXPECT_FALSE(chooseWindow(candidatesFrom({U"Korv"}), U"Korvedo").has_value());
}

TEST(FoldCase, CapitalsOfTheSupportedScriptsFoldToTheirSmallLetters) {
    const std::u32string capitals =
        U"AZ"             // ASCII
        U"ÀÉÎÕÖØÞ"        // Latin-1
        U"ĀĘĲŁŃŊŒŠŸŹŽ"    // Latin Extended-A
        U"ΑΩΆΈΉΊΌΎΏΪΫ"    // Greek
        U"АЯЁЂЏѢҐҒӀӁӘӨ";  // Cyrillic
    const std::u32string smalls =
        U"az"
        U"àéîõöøþ"
        U"āęĳłńŋœšÿźž"
        U"αωάέήίόύώϊϋ"
        U"аяёђџѣґғӏӂәө";
    EXPECT_EQ(foldCase(capitals), smalls);
    EXPECT_EQ(foldCase(smalls), smalls);
}

TEST(FoldCase, VariantLettersFoldToTheirUsualForm) {
    EXPECT_EQ(foldCase(U"ς"), U"σ");  // final sigma
    EXPECT_EQ(foldCase(U"ſ"), U"s");  // long s
    EXPECT_EQ(foldCase(U"µ"), U"μ");  // micro sign
    EXPECT_EQ(foldCase(U"İ"), U"i");
}

TEST(FoldCase, EverythingElseIsLeftAlone) {
    const std::u32string untouched = U"0-9 ×÷ß€ ĸŉ 中文 ☃ \U0001F600 ١٢";
    EXPECT_EQ(foldCase(untouched), untouched);
}

TEST(IsTypeable, ControlCharactersOtherThanTabAreRefused) {
    for (char32_t c : {U'\0', U'\x01', U'\n', U'\r', U'\x1B', U'\x1F', U'\x7F', U'\x80', U'\x85', U'\x9F'})
        EXPECT_FALSE(isTypeable(c)) << static_cast<unsigned>(c);
    EXPECT_TRUE(isTypeable(U'\t'));
}

TEST(IsTypeable, PrintableCharactersOfEveryPlaneAreAccepted) {
    for (char32_t c : {U' ', U'~', U'\u00A0', U'é', U'€', U'Ω', U'中', U'\U0001D11E', U'\U0001F600'})
        EXPECT_TRUE(isTypeable(c)) << static_cast<unsigned>(c);
}

TEST(IsTypeable, ValuesThatAreNoCharactersAreRefused) {
    for (char32_t c : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0xFDD0}, char32_t{0xFFFE},
                       char32_t{0xFFFF}, char32_t{0x1FFFF}, char32_t{0x110000}})
        EXPECT_FALSE(isTypeable(c)) << static_cast<unsigned>(c);
}

TEST(Utf8, TextOfEveryLengthOfSequenceSurvivesTheRoundTrip) {
    const std::u32string text = U"a\u00E9\u0800\u20AC\uFFFD\U00010000\U0001F600\U0010FFFF";
    const std::string bytes = toUtf8(text);
    EXPECT_EQ(
        bytes,
        "a\xC3\xA9\xE0\xA0\x80\xE2\x82\xAC\xEF\xBF\xBD\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(fromUtf8(bytes), text);
}

TEST(Utf8, BrokenInputBecomesReplacementCharactersAndDecodingGoesOn) {
    const struct {
        const char* name;
        std::string bytes;
        std::u32string expected;
    } cases[] = {
        {"lone continuation byte", "a\x80z", U"a\uFFFDz"},
        {"overlong two-byte form", "\xC0\xAF", U"\uFFFD\uFFFD"},
        {"overlong three-byte form", "\xE0\x80\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"sequence cut by an ASCII byte",
         "\xE2\x82"
         "A",
         U"\uFFFDA"},
        {"sequence cut by the end", "ok\xF0\x9F\x98", U"ok\uFFFD"},
        {"invalid lead bytes", "\xF5\xFF", U"\uFFFD\uFFFD"},
    };
    for (const auto& c : cases) EXPECT_EQ(fromUtf8(c.bytes), c.expected) << c.name;
}

TEST(Utf8, ValuesThatAreNoCharactersAreWrittenAsReplacementCharacters) {
    const std::u32string text = {U'a', char32_t{0xD800}, char32_t{0x110000}, U'b'};
    EXPECT_EQ(toUtf8(text),
              "a\xEF\xBF\xBD\xEF\xBF\xBD"
              "b");
}

}  // namespace
}  // namespace tastalo::platform

#include "platform/win32/key_strokes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/conformance_cases.h"
#include "platform/win32/utf16.h"

namespace tastalo::test {
namespace {

using platform::win32::KeyStroke;
namespace vk = platform::win32::vk;
namespace win32 = platform::win32;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

KeyStroke character(char16_t unit, bool release) { return {KeyStroke::Kind::Character, unit, release}; }
KeyStroke key(std::uint16_t code, bool release) { return {KeyStroke::Kind::VirtualKey, code, release}; }

// What a window receives from the strokes: the units of each character
// pressed, Tab and Return as "\t" and "\n". Every press must be released
// before the next one, or the window would see a key held down.
std::u16string received(const std::vector<KeyStroke>& strokes) {
    std::u16string text;
    for (std::size_t i = 0; i < strokes.size(); i += 2) {
        EXPECT_LT(i + 1, strokes.size());
        if (i + 1 >= strokes.size()) break;
        EXPECT_FALSE(strokes[i].release);
        EXPECT_TRUE(strokes[i + 1].release);
        EXPECT_EQ(strokes[i].kind, strokes[i + 1].kind);
        EXPECT_EQ(strokes[i].code, strokes[i + 1].code);
        if (strokes[i].kind == KeyStroke::Kind::Character) {
            text.push_back(strokes[i].code);
        } else {
            text.push_back(strokes[i].code == vk::kTab ? u'\t' : u'\n');
        }
    }
    return text;
}

TEST(KeyStrokes, EveryConformanceCaseIsTypedAsItsOwnCharacters) {
    for (const auto& typingCase : platform::conformance::typingCases()) {
        ASSERT_FALSE(win32::firstUntypeable(typingCase.barcode)) << typingCase.name;
        EXPECT_EQ(received(win32::strokesForText(typingCase.barcode)), win32::toUtf16(typingCase.barcode))
            << typingCase.name;
    }
}

TEST(KeyStrokes, KeyLanguageCharactersAreCharactersNotKeys) {
    for (const KeyStroke& stroke : win32::strokesForText(U"+^%~(){}[]{ENTER}")) {
        EXPECT_EQ(stroke.kind, KeyStroke::Kind::Character);
    }
}

TEST(KeyStrokes, CharacterBeyondTheBasicPlaneIsPressedAsItsSurrogatePairInOrder) {
    EXPECT_THAT(win32::strokesForText(U"\U0001F600"),
                ElementsAre(character(0xD83D, false), character(0xD83D, true), character(0xDE00, false),
                            character(0xDE00, true)));
}

TEST(KeyStrokes, TabAndEnterAreTheirKeys) {
    EXPECT_THAT(win32::strokesForText(U"\t"), ElementsAre(key(vk::kTab, false), key(vk::kTab, true)));
    EXPECT_THAT(win32::strokesForEnter(), ElementsAre(key(vk::kReturn, false), key(vk::kReturn, true)));
    EXPECT_THAT(win32::strokesForText(U""), IsEmpty());
}

TEST(KeyStrokes, OnlyControlCharactersOtherThanTabAndNonCharactersCannotBeTyped) {
    EXPECT_EQ(win32::firstUntypeable(U"abc\u0001"), 3u);
    EXPECT_EQ(win32::firstUntypeable(U"\n"), 0u);
    EXPECT_EQ(win32::firstUntypeable(U"a\u009Fb"), 1u);
    EXPECT_EQ(win32::firstUntypeable(std::u32string(U"a") + static_cast<char32_t>(0xD800)), 1u);
    EXPECT_EQ(win32::firstUntypeable(std::u32string(1, static_cast<char32_t>(0x110000))), 0u);
    EXPECT_FALSE(win32::firstUntypeable(U"a\tb \u00A0€\U0010FFFD"));
}

TEST(KeyStrokes, HeldModifiersAreReleasedAndAltOrWinReleaseIsMasked) {
    EXPECT_THAT(win32::releaseOf({}), IsEmpty());
    EXPECT_THAT(win32::releaseOf({vk::kLeftShift, vk::kRightControl}),
                ElementsAre(key(vk::kLeftShift, true), key(vk::kRightControl, true)));
    EXPECT_THAT(win32::releaseOf({vk::kLeftControl, vk::kRightWin}),
                ElementsAre(key(vk::kMask, false), key(vk::kMask, true), key(vk::kLeftControl, true),
                            key(vk::kRightWin, true)));
    EXPECT_EQ(win32::modifierKeys().size(), 8u);
}

TEST(Utf16, CharactersBeyondTheBasicPlaneBecomeSurrogatePairsAndBack) {
    const std::u32string text = U"aé€\U0001D11E\U0010FFFF";
    const std::u16string units = win32::toUtf16(text);
    EXPECT_EQ(units, u"aé€\U0001D11E\U0010FFFF");
    EXPECT_EQ(units.size(), 7u);
    EXPECT_EQ(win32::fromUtf16(units), text);
}

TEST(Utf16, LoneSurrogatesAndInvalidValuesBecomeTheReplacementCharacter) {
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00, 0xD83D};
    EXPECT_EQ(win32::fromUtf16(std::u16string_view(lone, 5)), U"a\uFFFDb\uFFFD\uFFFD");
    const char32_t invalid[] = {0xDFFF, 0x110000, U'z'};
    EXPECT_EQ(win32::toUtf16(std::u32string_view(invalid, 3)), u"\uFFFD\uFFFDz");
}

}  // namespace
}  // namespace tastalo::test

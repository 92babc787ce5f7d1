#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "display_fixture.h"
#include "platform/conformance_cases.h"
#include "platform/x11/failure_codes.h"

namespace tastalo::test {
namespace {

using platform::createKeyboardTarget;
using platform::KeyboardTarget;
namespace conformance = platform::conformance;

class TypingIntoTarget : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        m_korvedo = startTarget("Korvedo", "korvedo.log");
        ASSERT_TRUE(m_korvedo->started());
        m_keymapBefore = probe().keyboardMapping();
        m_keyboard = createKeyboardTarget();
    }

    void activate() {
        const auto status = m_keyboard->activate(U"Korvedo");
        ASSERT_TRUE(status.ok()) << status.code << " " << status.description;
    }


    void send(std::u32string_view barcode) {
        const auto typed = m_keyboard->typeText(barcode);
        ASSERT_TRUE(typed.ok()) << typed.code << " " << typed.description;
        const auto entered = m_keyboard->pressEnter();
        ASSERT_TRUE(entered.ok()) << entered.code << " " << entered.description;
    }

    std::unique_ptr<TargetProgram> m_korvedo;
    std::vector<unsigned long> m_keymapBefore;
    std::unique_ptr<KeyboardTarget> m_keyboard;
};

// A failed step stops the whole test, not only the helper.
#define ACTIVATE() ASSERT_NO_FATAL_FAILURE(activate())
#define SEND(text) ASSERT_NO_FATAL_FAILURE(send(text))

TEST_F(TypingIntoTarget, EveryConformanceCaseArrivesExactlyAndTheKeymapIsLeftAsItWas) {
    ACTIVATE();
    std::string expected;
    for (const auto& testCase : conformance::typingCases()) {
        SEND(testCase.barcode);
        expected += line(testCase.barcode);
    }
    m_keyboard->finish();

    const std::string received = m_korvedo->logAfter(conformance::typingCases().size());
    EXPECT_EQ(received, expected);
    // Line by line too, so a failure names its case.
    std::size_t start = 0;
    for (const auto& testCase : conformance::typingCases()) {
        const std::size_t end = received.find('\n', start);
        const std::string got = end == std::string::npos ? received.substr(start) : received.substr(start, end - start);
        EXPECT_EQ(got, platform::toUtf8(testCase.barcode)) << testCase.name;
        start = end == std::string::npos ? received.size() : end + 1;
    }
    EXPECT_EQ(probe().keyboardMapping(), m_keymapBefore);
}

TEST_F(TypingIntoTarget, MoreMissingCharactersThanSpareKeycodesStillArriveInOrder) {
    // Greek and Cyrillic letters: far more distinct characters than a US
    // keymap has free keycodes, in one barcode and across barcodes, with
    // characters coming back after their keycode was given to another.
    std::u32string greek, cyrillic;
    for (char32_t c = U'α'; c <= U'ω'; ++c) greek.push_back(c);
    for (char32_t c = U'а'; c <= U'я'; ++c) cyrillic.push_back(c);
    const std::u32string mixed = greek.substr(0, 5) + cyrillic.substr(20) + greek.substr(0, 5) + U"é€";
    ACTIVATE();
    SEND(greek + cyrillic);
    SEND(mixed);
    SEND(greek);
    m_keyboard->finish();
    EXPECT_EQ(m_korvedo->logAfter(3), line(greek + cyrillic) + line(mixed) + line(greek));
    EXPECT_EQ(probe().keyboardMapping(), m_keymapBefore);
}

// Turns Caps Lock on, and off again whatever happens in the test.
struct CapsLockOn {
    X11Probe& probe;
    explicit CapsLockOn(X11Probe& p) : probe(p) { probe.tap("Caps_Lock"); }
    ~CapsLockOn() {
        if (probe.lockedModifiers() & kCapsLockBit) probe.tap("Caps_Lock");
    }
};

TEST_F(TypingIntoTarget, CapsLockOnGivesExactTextAndIsOnAgainAfterwards) {
    CapsLockOn capsLock(probe());
    ASSERT_TRUE(probe().lockedModifiers() & kCapsLockBit);
    ACTIVATE();
    const std::u32string barcodes[] = {U"AbC123xyz", U"àèéìòùÀÈÉ", U"éß€Ω", U"a-b_c.d"};
    std::string expected;
    for (const auto& barcode : barcodes) {
        SEND(barcode);
        expected += line(barcode);
    }
    m_keyboard->finish();
    const bool lockedAfter = probe().lockedModifiers() & kCapsLockBit;

    EXPECT_EQ(m_korvedo->logAfter(std::size(barcodes)), expected);
    EXPECT_TRUE(lockedAfter) << "Caps Lock was not put back";
    EXPECT_EQ(probe().keyboardMapping(), m_keymapBefore);
}

TEST_F(TypingIntoTarget, HeldShiftOrControlGivesExactTextAndIsHeldAgainAfterwards) {
    const struct {
        const char* key;
        unsigned int bit;
    } held[] = {{"Shift_L", kShiftBit}, {"Control_L", kControlBit}};
    std::string expected;
    ACTIVATE();
    for (const auto& modifier : held) {
        probe().press(modifier.key);
        ASSERT_TRUE(probe().heldModifiers() & modifier.bit) << modifier.key;
        SEND(U"abc1é");
        SEND(U"XyZ!");
        expected += line(U"abc1é") + line(U"XyZ!");
        m_keyboard->finish();
        const bool heldAfter = probe().heldModifiers() & modifier.bit;
        probe().release(modifier.key);
        EXPECT_TRUE(heldAfter) << modifier.key << " was not pressed again";
        ACTIVATE();
    }
    m_keyboard->finish();
    EXPECT_EQ(m_korvedo->logAfter(4), expected);
    EXPECT_EQ(probe().heldModifiers(), 0U);
}

TEST_F(TypingIntoTarget, KeymapIsRestoredAfterAFailurePartWayAndWhenTheBackendIsDropped) {
    ACTIVATE();
    SEND(U"éß");
    // A refused character does not leave the borrowed keycodes behind.
    const auto refused = m_keyboard->typeText(U"ok\x01");
    EXPECT_EQ(refused.code, platform::kCharacterNotTypeable);
    EXPECT_FALSE(refused.description.empty());
    m_keyboard->finish();
    EXPECT_EQ(probe().keyboardMapping(), m_keymapBefore);

    // Dropped in the middle of a send, as when the program closes: the
    // keymap is given back all the same.
    ACTIVATE();
    SEND(U"€Ω");
    ASSERT_NE(probe().keyboardMapping(), m_keymapBefore);
    m_keyboard.reset();
    EXPECT_EQ(probe().keyboardMapping(), m_keymapBefore);
    EXPECT_EQ(m_korvedo->logAfter(2), line(U"éß") + line(U"€Ω"));
}

TEST_F(TypingIntoTarget, FinishTwiceAndTypingAfterFinishAreHarmless) {
    ACTIVATE();
    SEND(U"Ω1");
    m_keyboard->finish();
    m_keyboard->finish();
    EXPECT_EQ(m_keyboard->typeText(U"x").code, platform::kTargetWindowMissing);
    EXPECT_EQ(m_keyboard->pressEnter().code, platform::kTargetWindowMissing);
    EXPECT_FALSE(m_keyboard->targetHasFocus());
    EXPECT_EQ(m_korvedo->logAfter(1), line(U"Ω1"));
    EXPECT_EQ(probe().keyboardMapping(), m_keymapBefore);
}

}  // namespace
}  // namespace tastalo::test

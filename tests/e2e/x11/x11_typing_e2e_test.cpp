#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <thread>

#include "display_fixture.h"
#include "platform/conformance_cases.h"
#include "platform/keyboard_target.h"

namespace tastalo::prova {
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

    void activate(std::u32string_view title = U"Korvedo") {
        const auto status = m_keyboard->activate(title);
        ASSERT_TRUE(status.ok()) << status.code << " " << status.detail;
    }

    void send(std::u32string_view barcode) {
        const auto typed = m_keyboard->typeText(barcode);
        ASSERT_TRUE(typed.ok()) << typed.code << " " << typed.detail;
        const auto entered = m_keyboard->pressEnter();
        ASSERT_TRUE(entered.ok()) << entered.code << " " << entered.detail;
    }

    std::unique_ptr<TargetProgram> m_korvedo;
    std::vector<unsigned long> m_keymapBefore;
    std::unique_ptr<KeyboardTarget> m_keyboard;
};

// A failed step stops the whole test, not only the helper.
#define ACTIVATE() ASSERT_NO_FATAL_FAILURE(activate())
#define ACTIVATE_TITLE(title) ASSERT_NO_FATAL_FAILURE(activate(title))
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
        const std::string got =
            end == std::string::npos ? received.substr(start) : received.substr(start, end - start);
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

TEST_F(TypingIntoTarget, AnnouncedMissingCharactersTakeOneKeymapChangePerStretchAndOneToGiveThemBack) {
    // A few characters off the keymap, many times over; then more distinct
    // ones than the spare keycodes hold at once, each used once.
    const std::vector<std::u32string> few = {U"A-éé1", U"€xß", U"Ωµ°é", U"ÀÈ€ßΩ"};
    std::vector<std::u32string> many;
    for (char32_t c = U'α'; c <= U'ω'; ++c) many.push_back(std::u32string(1, c) + U"1");
    for (char32_t c = U'а'; c <= U'я'; ++c) many.push_back(std::u32string(1, c) + U"2");
    const int capacity = 2 * probe().spareKeycodes();
    ASSERT_GT(capacity, 0);
    const int stretches = (static_cast<int>(many.size()) + capacity - 1) / capacity;
    ASSERT_GT(stretches, 1) << "the list must not fit on the spare keycodes at once";

    const std::vector<std::u32string>* lists[] = {&few, &many};
    for (const auto* list : lists) {
        probe().keymapChanges();
        ACTIVATE();
        m_keyboard->expectTexts(*list);
        std::string expected;
        for (const auto& barcode : *list) {
            SEND(barcode);
            expected += line(barcode);
        }
        m_keyboard->finish();
        EXPECT_EQ(m_korvedo->logAfter(list->size()), expected);
        EXPECT_EQ(probe().keymapChanges(), (list == &few ? 1 : stretches) + 1);
        EXPECT_EQ(probe().keyboardMapping(), m_keymapBefore);
        m_korvedo->clearLog();
    }
}

// The key events xev logged: keycode, press or release, server time.
struct KeyRecord {
    unsigned int keycode;
    bool press;
    unsigned long time;
};

std::vector<KeyRecord> keyEvents(const std::string& log) {
    std::vector<KeyRecord> keys;
    std::istringstream lines(log);
    bool inKeyEvent = false;
    for (std::string text; std::getline(lines, text);) {
        if (text.find(" event, serial ") != std::string::npos) {
            inKeyEvent = text.rfind("KeyPress", 0) == 0 || text.rfind("KeyRelease", 0) == 0;
            if (inKeyEvent) keys.push_back({0, text[3] == 'P', 0});
        } else if (inKeyEvent && text.find(", time ") != std::string::npos) {
            keys.back().time = std::stoul(text.substr(text.find(", time ") + 7));
        } else if (inKeyEvent && text.find(", keycode ") != std::string::npos) {
            keys.back().keycode =
                static_cast<unsigned>(std::stoul(text.substr(text.find(", keycode ") + 10)));
        }
    }
    return keys;
}

TEST_F(TypingIntoTarget, APressAfterTheReleaseOfTheSameKeyNeverSharesItsTimestamp) {
    // Programs take such a pair for the keyboard's auto-repeat and drop a key.
    const std::string log = m_folder.file("xev.log").toStdString();
    TargetProgram xev(probe(), {"xev", "-event", "keyboard", "-name", "Eco"}, "Eco", log, log);
    ASSERT_TRUE(xev.started());
    ACTIVATE_TITLE(U"Eco");
    const std::vector<std::u32string> barcodes = {U"VVV++aa", U"", U"ééé11ΩΩ"};
    m_keyboard->expectTexts(barcodes);
    for (const auto& barcode : barcodes) SEND(barcode);
    ASSERT_TRUE(m_keyboard->confirmDelivery().ok());
    m_keyboard->finish();

    // xev writes each event as it comes: once 19 presses are there, all are.
    std::vector<KeyRecord> keys;
    for (int i = 0; i < 500 && std::count_if(keys.begin(), keys.end(), [](auto& k) { return k.press; }) < 19;
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        keys = keyEvents(xev.log());
    }
    int presses = 0, pairs = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].press) ++presses;
        if (i == 0 || !keys[i].press || keys[i - 1].press || keys[i - 1].keycode != keys[i].keycode) continue;
        ++pairs;
        EXPECT_GT(keys[i].time, keys[i - 1].time) << "keycode " << keys[i].keycode << ", event " << i;
    }
    EXPECT_EQ(pairs, 9) << "VV, VV, ++, aa, the two Enters, éé, éé, 11, ΩΩ";
    EXPECT_EQ(presses, 19) << "14 characters, 3 Enters and Shift twice";
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

// Held through XTest, as another program's fake keys would be: no finger
// holds it, so it comes up for the text and stays up.
TEST_F(TypingIntoTarget, ShiftOrControlHeldByXTestGivesExactTextAndIsNotPressedAgain) {
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
        EXPECT_FALSE(heldAfter) << modifier.key << " was pressed again";
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
    EXPECT_EQ(refused.subject, U"\x01");
    EXPECT_EQ(refused.position, 3u);
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
}  // namespace tastalo::prova

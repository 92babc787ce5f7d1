#include "platform/win32/windows_keyboard_target.h"

#include <cstdint>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "platform/title_match.h"

namespace tastalo::test {
namespace {

using platform::kTargetWindowMissing;
using platform::win32::KeyStroke;
using platform::win32::WindowsKeyboardTarget;
namespace vk = platform::win32::vk;
using Request = FakeDesktop::Request;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr FakeDesktop::WindowHandle kOwnFront = 0x10;  // what is in front before activation

KeyStroke character(char16_t unit, bool release) { return {KeyStroke::Kind::Character, unit, release}; }
KeyStroke key(std::uint16_t code, bool release) { return {KeyStroke::Kind::VirtualKey, code, release}; }

class WindowsKeyboardTargetTest : public ::testing::Test {
protected:
    WindowsKeyboardTargetTest() {
        auto owned = std::make_unique<FakeDesktop>();
        desktop = owned.get();
        desktop->foreground = kOwnFront;
        target = std::make_unique<WindowsKeyboardTarget>(std::move(owned), WindowsKeyboardTarget::Timing{});
    }

    FakeDesktop* desktop;
    std::unique_ptr<WindowsKeyboardTarget> target;
};

// --- choosing and activating the window -------------------------------------

TEST_F(WindowsKeyboardTargetTest, AmongEqualTitlesTheTopmostWindowIsActivated) {
    desktop->windows = {{0xA, U"Korvedo - Ordini"}, {0xB, U"korvedo"}, {0xC, U"KORVEDO"}};

    ASSERT_TRUE(target->activate(U"Korvedo").ok());

    // Both 0xB and 0xC match exactly; 0xB lies higher in the stack.
    EXPECT_EQ(desktop->foreground, 0xBu);
    EXPECT_TRUE(target->targetHasFocus());
}

TEST_F(WindowsKeyboardTargetTest, NoWindowWithTheTitleFailsWithCodeFiveAndRequestsNothing) {
    desktop->windows = {{0xA, U"Altro programma"}, {0xB, U"Il Korvedo"}};

    const platform::Status status = target->activate(U"Korvedo");

    EXPECT_EQ(status.code, kTargetWindowMissing);
    EXPECT_EQ(status.subject, U"Korvedo");
    EXPECT_THAT(desktop->requests, IsEmpty());
    EXPECT_FALSE(target->targetHasFocus());
    EXPECT_FALSE(target->typeText(U"abc").ok());
    EXPECT_FALSE(target->pressEnter().ok());
    EXPECT_THAT(desktop->injected, IsEmpty());
}

TEST_F(WindowsKeyboardTargetTest, WindowOfAProgramRunAsAdministratorIsRefusedBeforeAnythingIsTyped) {
    // Windows would drop every keystroke, and SendInput need not say so.
    desktop->windows = {{0xA, U"Korvedo"}};
    desktop->elevated = {0xA};

    const platform::Status status = target->activate(U"Korvedo");

    EXPECT_EQ(status.code, platform::kTargetAboveThisProcess);
    EXPECT_EQ(status.subject, U"Korvedo");
    EXPECT_THAT(desktop->requests, IsEmpty());
    EXPECT_FALSE(target->typeText(U"abc").ok());
    EXPECT_THAT(desktop->injected, IsEmpty());
}

TEST_F(WindowsKeyboardTargetTest, RefusedRequestIsRetriedAttachedToTheForegroundThread) {
    desktop->windows = {{0xA, U"Korvedo"}};
    desktop->decide = [](Request kind, int) { return FakeDesktop::Outcome{kind == Request::Attached, true}; };

    ASSERT_TRUE(target->activate(U"Korvedo").ok());

    ASSERT_EQ(desktop->requests.size(), 2u);
    EXPECT_EQ(desktop->requests[0].kind, Request::Plain);
    EXPECT_EQ(desktop->requests[1].kind, Request::Attached);
    EXPECT_EQ(desktop->requests[1].window, 0xAu);
    EXPECT_TRUE(target->targetHasFocus());
}

TEST_F(WindowsKeyboardTargetTest, AcceptedRequestThatDoesNotTakeEffectIsRetriedUntilItDoes) {
    desktop->windows = {{0xA, U"Korvedo"}};
    desktop->decide = [](Request, int attempt) { return FakeDesktop::Outcome{true, attempt == 2}; };

    ASSERT_TRUE(target->activate(U"Korvedo").ok());

    EXPECT_EQ(desktop->requests.size(), 3u);
    EXPECT_TRUE(target->targetHasFocus());
}

TEST_F(WindowsKeyboardTargetTest, ActivationThatNeverTakesEffectFailsAsNotActivatedWithinItsBounds) {
    desktop->windows = {{0xA, U"Korvedo"}};
    desktop->decide = [](Request, int attempt) {
        return FakeDesktop::Outcome{attempt % 2 == 0, false};  // accepted or not, never in front
    };
    const WindowsKeyboardTarget::Timing timing{};

    const platform::Status status = target->activate(U"korvedo");

    EXPECT_EQ(status.code, platform::kTargetNotActivated);
    EXPECT_EQ(status.subject, U"Korvedo");  // the window's own title
    EXPECT_EQ(desktop->requests.size(), static_cast<std::size_t>(timing.attempts));
    EXPECT_LE(desktop->paused, timing.attempts * (timing.settle + timing.poll));
    EXPECT_GE(desktop->paused, timing.settle);  // it did wait for the accepted ones
    EXPECT_FALSE(target->targetHasFocus());
    EXPECT_FALSE(target->typeText(U"abc").ok());
    EXPECT_THAT(desktop->injected, IsEmpty());
}

TEST_F(WindowsKeyboardTargetTest, MinimisedWindowIsRestoredBeforeItIsBroughtToTheFront) {
    desktop->windows = {{0xA, U"Korvedo"}};
    desktop->minimised = {0xA};
    desktop->decide = [this](Request, int) {
        // Keystrokes would be lost if the window were still an icon here.
        return FakeDesktop::Outcome{true, desktop->minimised.empty()};
    };

    ASSERT_TRUE(target->activate(U"Korvedo").ok());

    EXPECT_THAT(desktop->restored, ElementsAre(0xAu));
    EXPECT_EQ(desktop->requests.size(), 1u);
}

TEST_F(WindowsKeyboardTargetTest, WindowAlreadyInFrontIsActivatedAtOnce) {
    desktop->windows = {{0xA, U"Korvedo"}};
    desktop->foreground = 0xA;

    ASSERT_TRUE(target->activate(U"Korvedo").ok());

    EXPECT_EQ(desktop->requests.size(), 1u);
    EXPECT_EQ(desktop->paused.count(), 0);
}

// --- the focus guard ---------------------------------------------------------

TEST_F(WindowsKeyboardTargetTest, FocusFollowsTheActivatedWindowNotItsTitle) {
    desktop->windows = {{0xA, U"Korvedo"}, {0xB, U"Korvedo"}};
    ASSERT_TRUE(target->activate(U"Korvedo").ok());
    EXPECT_TRUE(target->targetHasFocus());

    desktop->foreground = 0xB;  // the same title, another window
    EXPECT_FALSE(target->targetHasFocus());

    // Back in front, but keys may have gone elsewhere meanwhile: only a new
    // activation resumes.
    desktop->foreground = 0xA;
    EXPECT_FALSE(target->targetHasFocus());
    EXPECT_EQ(target->pressEnter().code, platform::kTargetLostFocus);
    ASSERT_TRUE(target->activate(U"Korvedo").ok());
    EXPECT_TRUE(target->targetHasFocus());

    target->finish();
    target->finish();
    EXPECT_FALSE(target->targetHasFocus());
    EXPECT_FALSE(target->typeText(U"a").ok());
}

TEST_F(WindowsKeyboardTargetTest, ALongTextGoesInChunksOfSixteenWithTheFrontCheckedBeforeEach) {
    desktop->windows = {{0xA, U"Korvedo"}};
    ASSERT_TRUE(target->activate(U"Korvedo").ok());
    // Sixteen characters, then one beyond U+FFFF whose two halves stay together.
    std::u32string text(15, U'x');
    text += U"y\U0001F600z";
    ASSERT_TRUE(target->typeText(text).ok());
    ASSERT_EQ(desktop->injected.size(), 2u);
    EXPECT_EQ(desktop->injected[0].size(), 32u);
    EXPECT_EQ(desktop->injected[1].size(), 6u);

    desktop->injected.clear();
    desktop->afterInject = [&] { desktop->foreground = 0xB; };
    EXPECT_EQ(target->typeText(std::u32string(40, U'x')).code, platform::kTargetLostFocus);
    EXPECT_EQ(desktop->injected.size(), 1u);
    EXPECT_EQ(target->pressEnter().code, platform::kTargetLostFocus);
    EXPECT_EQ(desktop->injected.size(), 1u);
}

TEST_F(WindowsKeyboardTargetTest, UnwatchedKeysThatWentInWithTheTargetInFrontCountAsDeliveredAsBefore) {
    desktop->windows = {{0xA, U"Korvedo"}, {0xB, U"Altro"}};
    desktop->watchRefused = true;
    ASSERT_TRUE(target->activate(U"Korvedo").ok());
    EXPECT_TRUE(target->deliveryUnwatched());
    ASSERT_TRUE(target->typeText(U"abc").ok());
    ASSERT_TRUE(target->pressEnter().ok());
    desktop->foreground = 0xB;  // during the pause after the barcode
    EXPECT_TRUE(target->confirmDelivery().ok());
    EXPECT_EQ(target->typeText(U"d").code, platform::kTargetLostFocus);

    // Taken as the Enter went in: that Enter may have gone to the other window.
    ASSERT_TRUE(target->activate(U"Korvedo").ok());
    desktop->afterInject = [&] { desktop->foreground = 0xB; };
    ASSERT_TRUE(target->pressEnter().ok());
    EXPECT_EQ(target->confirmDelivery().code, platform::kTargetLostFocus);
}

// --- the watch over where the keys go -------------------------------------

TEST_F(WindowsKeyboardTargetTest, WatchedKeyBoundForAnotherWindowIsSwallowedWithEveryKeyAfterIt) {
    desktop->windows = {{0xA, U"Korvedo"}, {0xB, U"Altro"}};
    ASSERT_TRUE(target->activate(U"Korvedo").ok());
    EXPECT_FALSE(target->deliveryUnwatched());
    // Another window comes in front as the sixth key event is routed, and
    // the target is back before the next one: the rest is swallowed all the same.
    desktop->beforeRouting = [&](std::size_t key) { desktop->foreground = key == 5 ? 0xB : 0xA; };

    EXPECT_EQ(target->typeText(std::u32string(40, U'x')).code, platform::kTargetLostFocus);
    EXPECT_EQ(desktop->passedKeys.size(), 5u);
    EXPECT_EQ(desktop->seen.swallowed, 27u);
    EXPECT_EQ(target->pressEnter().code, platform::kTargetLostFocus);
    EXPECT_EQ(desktop->injected.size(), 1u);
    EXPECT_FALSE(target->confirmDelivery().ok());

    // Kept from the target by another program's hook: the text would be
    // mangled, so nothing more goes.
    target->finish();
    desktop->beforeRouting = nullptr;
    desktop->foreground = kOwnFront;
    ASSERT_TRUE(target->activate(U"Korvedo").ok());
    desktop->blockedAt = 3;
    const platform::Status blocked = target->typeText(U"abcdef");
    EXPECT_EQ(blocked.code, platform::kInputRefused);
    EXPECT_EQ(blocked.detail, "another program's keyboard hook held back 1 key events");
    EXPECT_FALSE(target->confirmDelivery().ok());
}

TEST_F(WindowsKeyboardTargetTest, KeysNotTakenWithinTheirBoundFailWithTheirOwnCodeNeverAsSuccess) {
    using platform::win32::TargetReading;
    const struct {
        const char* name;
        std::size_t routedLimit;
        TargetReading reading;
        const char* detail;
    } cases[] = {
        {"routed in part", 20, TargetReading::Idle, "the system routed 20 of 32 key events within 2320 ms"},
        {"routed, never read", SIZE_MAX, TargetReading::StillReading,
         "the target had not read its keys after 2340 ms"},
        {"routed, its reading not to be watched", SIZE_MAX, TargetReading::CannotTell,
         "the target's reading of its keys cannot be watched"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        desktop->windows = {{0xA, U"Korvedo"}};
        ASSERT_TRUE(target->activate(U"Korvedo").ok());
        desktop->routedLimit = c.routedLimit;
        desktop->reading = c.reading;
        platform::Status status = target->typeText(std::u32string(16, U'x'));
        if (status.ok()) status = target->pressEnter();
        EXPECT_EQ(status.code, platform::kKeysNotTaken);
        EXPECT_EQ(status.detail, c.detail);
        // Keys still on their way must not land wherever comes in front next.
        EXPECT_EQ(desktop->swallowing, c.routedLimit != SIZE_MAX);
        target->finish();
    }
}

TEST_F(WindowsKeyboardTargetTest, EachBatchIsRoutedAndTheTextReadWithItsEnterWithinTheirBounds) {
    desktop->windows = {{0xA, U"Korvedo"}, {0xB, U"Altro"}};
    ASSERT_TRUE(target->activate(U"Korvedo").ok());
    ASSERT_TRUE(target->typeText(U"ab").ok());
    ASSERT_TRUE(target->pressEnter().ok());
    // Routed after each batch, read once after the Enter: 2 s plus 10 ms for
    // each key event not yet seen read.
    using std::chrono::milliseconds;
    EXPECT_THAT(desktop->waits, ElementsAre(milliseconds{2040}, milliseconds{2060}, milliseconds{2060}));
    // The Enter was taken: a window in front afterwards changes nothing for it.
    desktop->foreground = 0xB;
    EXPECT_TRUE(target->confirmDelivery().ok());
    EXPECT_EQ(target->typeText(U"c").code, platform::kTargetLostFocus);
}

TEST_F(WindowsKeyboardTargetTest, KeysReadAfterAnotherWindowCameInFrontCountWhereTheyCannotHaveGoneAstray) {
    // Routed to the target, read once another window was in front. Windows
    // had handed them to the target already; under Wine they were dropped
    // if the target's thread handled the change before reading them, which
    // only its still being active rules out.
    const struct {
        bool lateRouting;
        bool stillActive;
        std::int32_t enter;
    } cases[] = {
        {false, false, 0},
        {true, true, 0},
        {true, false, platform::kTargetLostFocusReading},
    };
    desktop->windows = {{0xA, U"Korvedo"}, {0xB, U"Altro"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "late " << c.lateRouting << ", active " << c.stillActive);
        desktop->foreground = kOwnFront;
        desktop->whileReading = nullptr;
        desktop->lateRouting = c.lateRouting;
        ASSERT_TRUE(target->activate(U"Korvedo").ok());
        desktop->whileReading = [&] { desktop->foreground = 0xB; };
        desktop->activeInThread = c.stillActive ? 0xA : 0;
        EXPECT_EQ(target->pressEnter().code, c.enter);
        EXPECT_EQ(target->confirmDelivery().ok(), c.enter == 0);
        EXPECT_EQ(target->typeText(U"x").code, platform::kTargetLostFocus);
        target->finish();
    }
}

TEST_F(WindowsKeyboardTargetTest, TheWatchIsRemovedHoweverTheSendEnds) {
    desktop->windows = {{0xA, U"Korvedo"}, {0xB, U"Altro"}};
    const std::function<void()> endings[] = {
        [&] { ASSERT_TRUE(target->typeText(U"ok").ok()); },
        [&] {
            desktop->foreground = 0xB;
            EXPECT_FALSE(target->typeText(U"lost").ok());
        },
        [&] {
            desktop->reading = platform::win32::TargetReading::StillReading;
            EXPECT_FALSE(target->pressEnter().ok());
        },
    };
    int expectedStops = 0;
    for (const auto& ending : endings) {
        desktop->foreground = kOwnFront;
        desktop->reading = platform::win32::TargetReading::Idle;
        ASSERT_TRUE(target->activate(U"Korvedo").ok());
        ending();
        target->finish();
        EXPECT_EQ(desktop->watchesStopped, ++expectedStops);
        EXPECT_EQ(desktop->watching, 0u);
    }
}

TEST_F(WindowsKeyboardTargetTest, KeysStillHeldAfterABoundedWaitRefuseTheSendNamingThemBeforeAnyRequest) {
    desktop->windows = {{0xA, U"Korvedo"}};
    desktop->keyNames = {{0x41, U"A"}, {vk::kRightControl, U"Ctrl destro"}};
    const WindowsKeyboardTarget::Timing timing{};
    const struct {
        const char* name;
        std::vector<std::uint16_t> down;
        int polls;
        std::int32_t code;
        std::u32string subject;
    } cases[] = {
        {"released within the wait", {0x41}, 3, 0, U""},
        {"one key stuck", {0x41}, 1'000'000, platform::kKeysHeld, U"A"},
        {"several, one the system has no name for",
         {0x41, vk::kRightControl, 0xDF},
         1'000'000,
         platform::kKeysHeld,
         U"A, Ctrl destro, VK 0xDF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        desktop->foreground = kOwnFront;
        desktop->requests.clear();
        desktop->paused = {};
        desktop->keysDown = c.down;
        desktop->keysDownPolls = c.polls;

        const platform::Status status = target->activate(U"Korvedo");

        EXPECT_EQ(status.code, c.code);
        EXPECT_EQ(status.subject, c.subject);
        EXPECT_LE(desktop->paused, timing.keysReleased + timing.poll);
        if (c.code == 0) continue;
        EXPECT_GE(desktop->paused, timing.keysReleased);
        EXPECT_THAT(desktop->requests, IsEmpty());
        EXPECT_EQ(desktop->watching, 0u);
        EXPECT_FALSE(target->typeText(U"a").ok());
        EXPECT_THAT(desktop->injected, IsEmpty());
    }
}

TEST_F(WindowsKeyboardTargetTest, OperatorKeysTheWatchHeldBackAreToldAfterTheSendUntilTheNextActivation) {
    desktop->windows = {{0xA, U"Korvedo"}};
    ASSERT_TRUE(target->activate(U"Korvedo").ok());
    desktop->heldBack = 3;
    ASSERT_TRUE(target->typeText(U"ab").ok());

    // The send's last message is shown once the watch is gone.
    target->finish();
    target->finish();
    EXPECT_EQ(desktop->watching, 0u);
    EXPECT_EQ(target->operatorKeysHeldBack(), 3u);

    desktop->foreground = kOwnFront;
    ASSERT_TRUE(target->activate(U"Korvedo").ok());
    EXPECT_EQ(target->operatorKeysHeldBack(), 0u);
}

// --- typing -------------------------------------------------------------------

class TypingTest : public WindowsKeyboardTargetTest {
protected:
    void SetUp() override {
        desktop->windows = {{0xA, U"Korvedo"}};
        ASSERT_TRUE(target->activate(U"Korvedo").ok());
    }
};

TEST_F(TypingTest, TextAndEnterAreInjectedAsOneBatchEach) {
    ASSERT_TRUE(target->typeText(U"a\tb").ok());
    ASSERT_TRUE(target->pressEnter().ok());

    ASSERT_EQ(desktop->injected.size(), 2u);
    EXPECT_THAT(desktop->injected[0],
                ElementsAre(character(u'a', false), character(u'a', true), key(vk::kTab, false),
                            key(vk::kTab, true), character(u'b', false), character(u'b', true)));
    EXPECT_THAT(desktop->injected[1], ElementsAre(key(vk::kReturn, false), key(vk::kReturn, true)));
}

TEST_F(TypingTest, EmptyTextInjectsNothingAndSucceeds) {
    EXPECT_TRUE(target->typeText(U"").ok());
    EXPECT_THAT(desktop->injected, IsEmpty());
}

TEST_F(TypingTest, FewerKeystrokesTakenThanSentIsAFailureNotASuccess) {
    desktop->injectLimit = 3;

    const platform::Status status = target->typeText(U"abc");

    EXPECT_EQ(status.code, platform::kInputRefused);
    EXPECT_EQ(status.detail, "SendInput took 3 of 6 key events");

    desktop->injectLimit = 0;
    EXPECT_EQ(target->pressEnter().code, platform::kInputRefused);
}

TEST_F(TypingTest, ControlCharacterIsRefusedAndNothingOfTheTextIsInjected) {
    for (const std::u32string& text :
         {std::u32string(U"ab\ncd"), std::u32string(U"\r"), std::u32string(U"x\u0085"),
          std::u32string(U"ok\u007F"), std::u32string(1, static_cast<char32_t>(0xDC00))}) {
        const platform::Status status = target->typeText(text);
        EXPECT_EQ(status.code, platform::kCharacterNotTypeable) << platform::toUtf8(text);
    }
    const platform::Status status = target->typeText(U"ab\u0001");
    EXPECT_EQ(status.subject, U"\u0001");
    EXPECT_EQ(status.position, 3u);
    EXPECT_THAT(desktop->injected, IsEmpty());
}

TEST_F(TypingTest, HeldModifiersAreReleasedBeforeTheKeysInTheSameBatch) {
    desktop->held = {vk::kLeftShift};
    ASSERT_TRUE(target->typeText(U"a").ok());
    EXPECT_THAT(desktop->allInjected(),
                ElementsAre(key(vk::kLeftShift, true), character(u'a', false), character(u'a', true)));
}

TEST_F(TypingTest, ReleasingAltIsMaskedSoNoMenuOpens) {
    desktop->held = {vk::kLeftAlt};
    ASSERT_TRUE(target->pressEnter().ok());
    EXPECT_THAT(desktop->allInjected(),
                ElementsAre(key(vk::kMask, false), key(vk::kMask, true), key(vk::kLeftAlt, true),
                            key(vk::kReturn, false), key(vk::kReturn, true)));
}

}  // namespace
}  // namespace tastalo::test

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "display_fixture.h"
#include "platform/keyboard_target.h"
#include "platform/x11/x11_keyboard_target.h"

namespace tastalo::prova {
namespace {

using platform::createKeyboardTarget;
using platform::kTargetWindowMissing;

class WindowTest : public DisplayTest {
protected:
    // A target's text box keeps what it was sent until Enter: Enter pressed
    // there from outside shows whether anything had been typed into it.
    std::string flushedBox(TargetProgram& target) {
        bringToFront(target.window());
        probe().tap("Return");
        return target.logAfter(1);
    }
};

class ChoosingTheWindow : public WindowTest {};

TEST_F(ChoosingTheWindow, MissingTitleGivesCodeFiveAndNothingIsTypedAnywhere) {
    auto other = startTarget("Altro", "altro.log");
    bringToFront(other->window());
    auto keyboard = createKeyboardTarget();

    const auto status = keyboard->activate(U"Korvedo");
    EXPECT_EQ(status.code, kTargetWindowMissing);
    EXPECT_EQ(status.subject, U"Korvedo");
    EXPECT_FALSE(keyboard->targetHasFocus());
    // A send that went on regardless would still not reach the window in front.
    EXPECT_EQ(keyboard->typeText(U"X").code, kTargetWindowMissing);
    EXPECT_EQ(keyboard->pressEnter().code, kTargetWindowMissing);
    keyboard->finish();

    EXPECT_EQ(probe().activeWindow(), other->window());
    EXPECT_EQ(flushedBox(*other), "\n");
}

TEST_F(ChoosingTheWindow, InAWaylandSessionNoWindowOrNoDisplayIsOutOfReachNotMissing) {
    // Wayland windows do not show on XWayland's display: the program may be
    // open. (No compositor answers here, so the Wayland backend cannot look.)
    setenv("WAYLAND_DISPLAY", "wayland-1", 1);
    EXPECT_EQ(createKeyboardTarget()->activate(U"Korvedo").code, platform::kTargetOutOfReach);
    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    setenv("TASTALO_BACKEND", "x11", 1);
    const auto status = createKeyboardTarget()->activate(U"Korvedo");
    unsetenv("TASTALO_BACKEND");
    setenv("DISPLAY", display.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    // There the setting is what keeps Tastalo from the compositor.
    EXPECT_EQ(status.code, platform::kOutOfReachBySetting);
    EXPECT_EQ(status.subject, U"");
}

TEST_F(ChoosingTheWindow, ExactTitleWinsOverBeginningAndCaseDoesNotMatter) {
    auto exact = startTarget("Korvedo", "exact.log");
    auto longer = startTarget("Korvedo - Ordini", "longer.log");
    bringToFront(longer->window());
    auto keyboard = createKeyboardTarget();

    ASSERT_TRUE(keyboard->activate(U"KORVEDO").ok());
    EXPECT_EQ(probe().activeWindow(), exact->window());
    ASSERT_TRUE(keyboard->typeText(U"uno").ok());
    ASSERT_TRUE(keyboard->pressEnter().ok());
    keyboard->finish();
    EXPECT_EQ(exact->logAfter(1), "uno\n");
    EXPECT_EQ(flushedBox(*longer), "\n");
}

TEST_F(ChoosingTheWindow, AmongSeveralBeginningsTheMostRecentlyActiveIsChosen) {
    auto first = startTarget("Korvedo 1", "first.log");
    auto second = startTarget("Korvedo 2", "second.log");
    bringToFront(second->window());
    bringToFront(first->window());
    auto keyboard = createKeyboardTarget();

    ASSERT_TRUE(keyboard->activate(U"Korvedo").ok());
    EXPECT_EQ(probe().activeWindow(), first->window());

    bringToFront(second->window());
    ASSERT_TRUE(keyboard->activate(U"korvedo").ok());
    EXPECT_EQ(probe().activeWindow(), second->window());
}

TEST_F(ChoosingTheWindow, WindowsOfThisProcessAreNeverChosen) {
    const unsigned long older = probe().createOwnWindow("Korvedo");
    auto keyboard = createKeyboardTarget();
    EXPECT_EQ(keyboard->activate(U"Korvedo").code, kTargetWindowMissing);

    // Another program's window of the same title is taken even though ours
    // is the newer one.
    auto target = startTarget("Korvedo", "korvedo.log");
    const unsigned long newer = probe().createOwnWindow("Korvedo");
    EXPECT_TRUE(keyboard->activate(U"Korvedo").ok());
    EXPECT_EQ(probe().activeWindow(), target->window());
    probe().destroyWindow(older);
    probe().destroyWindow(newer);
}

class WatchingTheFocus : public WindowTest {};

TEST_F(WatchingTheFocus, AnotherWindowInFrontMeansTheTargetLostTheFocusAndNothingMoreIsTyped) {
    auto korvedo = startTarget("Korvedo", "korvedo.log");
    auto other = startTarget("Altro", "altro.log");
    auto keyboard = createKeyboardTarget();
    ASSERT_TRUE(keyboard->activate(U"Korvedo").ok());
    EXPECT_TRUE(keyboard->targetHasFocus());
    ASSERT_TRUE(keyboard->typeText(U"primo").ok());
    ASSERT_TRUE(keyboard->pressEnter().ok());

    // The title may change: what counts is the window.
    ASSERT_EQ(run("xdotool set_window --name 'Korvedo - documento 2' " + std::to_string(korvedo->window())),
              0);
    EXPECT_TRUE(keyboard->targetHasFocus());

    bringToFront(other->window());
    EXPECT_FALSE(keyboard->targetHasFocus());
    EXPECT_EQ(keyboard->typeText(U"secondo").code, platform::kTargetLostFocus);
    EXPECT_EQ(keyboard->pressEnter().code, platform::kTargetLostFocus);
    keyboard->finish();

    EXPECT_EQ(korvedo->logAfter(1), "primo\n");
    EXPECT_EQ(flushedBox(*other), "\n");
}

TEST_F(WatchingTheFocus, AKeyboardGrabByAnotherClientStopsTypingUntilTheNextActivation) {
    auto korvedo = startTarget("Korvedo", "korvedo.log");
    auto keyboard = createKeyboardTarget();
    ASSERT_TRUE(keyboard->activate(U"Korvedo").ok());
    ASSERT_TRUE(probe().grabKeyboard());
    EXPECT_FALSE(keyboard->targetHasFocus());
    EXPECT_EQ(keyboard->typeText(U"perso").code, platform::kTargetLostFocus);
    probe().ungrabKeyboard();
    // Keys may have gone elsewhere meanwhile: no resuming behind the
    // operator's back.
    EXPECT_FALSE(keyboard->targetHasFocus());
    EXPECT_EQ(keyboard->typeText(U"ancora").code, platform::kTargetLostFocus);
    ASSERT_TRUE(keyboard->activate(U"Korvedo").ok());
    ASSERT_TRUE(keyboard->typeText(U"dopo").ok());
    ASSERT_TRUE(keyboard->pressEnter().ok());
    keyboard->finish();
    EXPECT_EQ(korvedo->logAfter(1), "dopo\n");
}

TEST_F(WatchingTheFocus, ActivationWaitsUntilTheWindowReallyIsActive) {
    auto korvedo = startTarget("Korvedo", "korvedo.log");
    auto other = startTarget("Altro", "altro.log");
    bringToFront(other->window());
    auto keyboard = createKeyboardTarget();
    ASSERT_TRUE(keyboard->activate(U"Korvedo").ok());
    // No waiting here: activate() returned only once the switch was done.
    EXPECT_EQ(probe().activeWindow(), korvedo->window());
    EXPECT_TRUE(keyboard->targetHasFocus());
}

TEST_F(WatchingTheFocus, ActivationWaitsForTheOperatorsKeyToComeUpSoItsReleaseStaysWhereItWasPressed) {
    auto korvedo = startTarget("Korvedo", "korvedo.log");
    auto other = startTarget("Altro", "altro.log");
    bringToFront(other->window());
    // The Enter that starts a send, still held down in another window. The
    // operator lets go once the backend is seen looking at the keys a second
    // time, that is waiting (or after 10 s, should it wait some other way).
    probe().press("Return");
    std::atomic<bool> released = false;
    std::thread operatore([&released] {
        X11Probe::awaitDeviceQueries(2, std::chrono::seconds(10));
        released = true;
        probe().release("Return");
    });
    // A wait longer than the operator's, so that only the release ends it.
    platform::x11::X11KeyboardTarget::Options options;
    options.keysReleased = std::chrono::seconds(30);
    platform::x11::X11KeyboardTarget keyboard(options);
    const bool activated = keyboard.activate(U"Korvedo").ok();
    const bool returnedAfterRelease = released;
    operatore.join();
    ASSERT_TRUE(activated);
    EXPECT_TRUE(returnedAfterRelease);
    ASSERT_TRUE(keyboard.typeText(U"abc").ok());
    ASSERT_TRUE(keyboard.pressEnter().ok());
    ASSERT_TRUE(keyboard.confirmDelivery().ok());
    keyboard.finish();
    EXPECT_EQ(korvedo->logAfter(1), "abc\n");
    EXPECT_EQ(other->logAfter(1), "\n");  // the operator's own Enter
}

TEST_F(WatchingTheFocus, AClosedTargetIsNoLongerFocusedAndItsKeymapIsStillGivenBack) {
    const auto keymapBefore = probe().keyboardMapping();
    auto korvedo = startTarget("Korvedo", "korvedo.log");
    auto keyboard = createKeyboardTarget();
    ASSERT_TRUE(keyboard->activate(U"Korvedo").ok());
    ASSERT_TRUE(keyboard->typeText(U"ß").ok());
    korvedo.reset();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (keyboard->targetHasFocus() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(keyboard->targetHasFocus());
    EXPECT_NE(keyboard->typeText(U"x").code, 0);
    keyboard->finish();
    EXPECT_EQ(probe().keyboardMapping(), keymapBefore);
}

}  // namespace
}  // namespace tastalo::prova

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "platform/conformance_cases.h"
#include "platform/keyboard_target.h"
#include "platform/title_match.h"
#include "platform/wayland/wayland_keyboard_target.h"
#include "support/temp_folder.h"
#include "support/wayland/core_keymap.h"
#include "support/wayland/sway_probe.h"
#include "support/x11/target_program.h"

// Last: it brings Xlib, whose macros Qt's headers must not see.
#include "platform/x11/x11_keyboard_target.h"

namespace tastalo::prova {
namespace {

using platform::KeyboardTarget;
using platform::Status;
namespace conformance = platform::conformance;

// Real windows in the headless sway session of with_sway.sh: native Wayland
// ones, and X11 ones under XWayland.
class TypingUnderSway : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("SWAYSOCK"), nullptr)
            << "no sway session: run the test through tests/support/wayland/with_sway.sh";
    }

    // korvedo_target as a Wayland client ("wayland") or an X11 one ("xcb").
    std::unique_ptr<TargetProgram> startTarget(const std::string& title, const std::string& platform) {
        const std::string log = m_folder.file(QString::fromStdString(title + ".log")).toStdString();
        auto target = std::make_unique<TargetProgram>(
            std::vector<std::string>{"env", "QT_QPA_PLATFORM=" + platform, KORVEDO_TARGET_PATH, title, log},
            [title] { return sway::hasWindow(title); }, log);
        EXPECT_TRUE(target->started()) << "\"" << title << "\" did not show its window";
        return target;
    }

    static void activate(KeyboardTarget& keyboard, std::u32string_view title) {
        const Status status = keyboard.activate(title);
        ASSERT_TRUE(status.ok()) << status.code << " " << status.detail;
    }

    static void send(KeyboardTarget& keyboard, std::u32string_view barcode) {
        const Status typed = keyboard.typeText(barcode);
        ASSERT_TRUE(typed.ok()) << typed.code << " " << typed.detail;
        const Status entered = keyboard.pressEnter();
        ASSERT_TRUE(entered.ok()) << entered.code << " " << entered.detail;
    }

    // Sends the list into the window titled `title` and gives what it must
    // have received.
    std::string sendList(std::u32string_view title, const std::vector<std::u32string>& list, bool announced) {
        std::string expected;
        activate(m_keyboard, title);
        if (announced) m_keyboard.expectTexts(list);
        for (const auto& barcode : list) {
            send(m_keyboard, barcode);
            expected += platform::toUtf8(barcode) + "\n";
        }
        const Status delivered = m_keyboard.confirmDelivery();
        EXPECT_TRUE(delivered.ok()) << delivered.code << " " << delivered.detail;
        m_keyboard.finish();
        return expected;
    }

    TempFolder m_folder;
    platform::wayland::WaylandKeyboardTarget m_keyboard;
};

#define ACTIVATE(keyboard, title) ASSERT_NO_FATAL_FAILURE(activate(keyboard, title))
#define SEND(keyboard, text) ASSERT_NO_FATAL_FAILURE(send(keyboard, text))

TEST_F(TypingUnderSway, EveryConformanceCaseArrivesExactlyInANativeWaylandWindow) {
    const auto korvedo = startTarget("Korvedo", "wayland");
    ASSERT_TRUE(korvedo->started());
    std::vector<std::u32string> list;
    for (const auto& testCase : conformance::typingCases()) list.push_back(testCase.barcode);
    const std::string expected = sendList(U"korvedo", list, true);

    const std::string received = korvedo->logAfter(list.size());
    EXPECT_EQ(received, expected);
    std::size_t start = 0;
    for (const auto& testCase : conformance::typingCases()) {
        const std::size_t end = received.find('\n', start);
        EXPECT_EQ(received.substr(start, end - start), platform::toUtf8(testCase.barcode)) << testCase.name;
        start = end == std::string::npos ? received.size() : end + 1;
    }
}

TEST_F(TypingUnderSway, AnX11WindowThatReadsItsKeysLateGetsAccentsEuroAndBeyondBmpExactly) {
    // An X11 program translates queued keys with the keymap it fetches when
    // it gets to them. This one reads nothing until two sends are over, the
    // second one not announced, so that its keymap grows between barcodes.
    const auto korvedo = startTarget("Korvedo X", "xcb");
    ASSERT_TRUE(korvedo->started());
    std::u32string greek, cyrillic;
    for (char32_t c = U'α'; c <= U'ω'; ++c) greek.push_back(c);
    for (char32_t c = U'а'; c <= U'я'; ++c) cyrillic.push_back(c);
    const std::vector<std::u32string> first = {U"8002345060772", U"città-€ß", U"A\U0001D11EB", U"AbC123xyz"};
    const std::vector<std::u32string> second = {greek + U"ΩµÅØ½", cyrillic + U"1234567890"};
    kill(korvedo->pid(), SIGSTOP);
    std::string expected = sendList(U"Korvedo X", first, true);
    expected += sendList(U"Korvedo X", second, false);
    kill(korvedo->pid(), SIGCONT);
    EXPECT_EQ(korvedo->logAfter(first.size() + second.size()), expected);
}

TEST_F(TypingUnderSway, AWindowThatTakesTheKeyboardStopsTheSendAndReceivesNothing) {
    const auto korvedo = startTarget("Korvedo", "wayland");
    const auto thief = startTarget("Ladro", "wayland");
    ASSERT_TRUE(korvedo->started() && thief->started());
    ACTIVATE(m_keyboard, U"Korvedo");
    SEND(m_keyboard, U"111");

    // Taken during the pause after a barcode that arrived whole: that one
    // still counts as delivered, and nothing more is typed.
    ASSERT_TRUE(sway::focus("Ladro"));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (m_keyboard.targetHasFocus() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(m_keyboard.targetHasFocus());
    EXPECT_TRUE(m_keyboard.confirmDelivery().ok());
    EXPECT_EQ(m_keyboard.typeText(U"222").code, platform::kTargetLostFocus);
    EXPECT_EQ(m_keyboard.pressEnter().code, platform::kTargetLostFocus);
    m_keyboard.finish();

    // Whatever had reached the thief arrives before a marker typed now.
    sendList(U"Ladro", {U"marcatore"}, false);
    EXPECT_EQ(thief->logBefore("marcatore"), std::optional<std::string>(""));
    EXPECT_EQ(korvedo->logAfter(1), "111\n");
}

TEST_F(TypingUnderSway, TheSessionsBackendReachesWaylandWindowsAndSaysWhenNoWindowHasTheTitle) {
    // DISPLAY is set too (XWayland): X11 is tried first and cannot see a
    // Wayland window; the Wayland backend then finds it.
    const auto korvedo = startTarget("Korvedo", "wayland");
    const auto x11Korvedo = startTarget("Korvedo X", "xcb");
    ASSERT_TRUE(korvedo->started() && x11Korvedo->started());
    const auto keyboard = platform::createKeyboardTarget();
    ACTIVATE(*keyboard, U"Korvedo");
    SEND(*keyboard, U"città");
    keyboard->finish();
    EXPECT_EQ(korvedo->logAfter(1), "città\n");
    // Unless the operator's layout came back, XWayland would still serve the
    // send's keymap, and the X11 backend, which types into this one, would
    // read it.
    ACTIVATE(*keyboard, U"Korvedo X");
    SEND(*keyboard, U"8002345060772");
    SEND(*keyboard, U"città-€ß");
    keyboard->finish();
    EXPECT_EQ(x11Korvedo->logAfter(2), "8002345060772\ncittà-€ß\n");

    const Status missing = keyboard->activate(U"Nessuna finestra");
    EXPECT_EQ(missing.code, platform::kTargetWindowMissing) << missing.detail;
    EXPECT_EQ(m_keyboard.activate(U"Nessuna finestra").code, platform::kTargetWindowMissing);
    // A program's own windows are never its target, as an X11 program's
    // class (capitalised) or as a Wayland one's app_id.
    platform::wayland::WaylandKeyboardTarget::Options options;
    options.ownAppId = "Korvedo_Target";
    platform::wayland::WaylandKeyboardTarget korvedoItself(options);
    EXPECT_EQ(korvedoItself.activate(U"Korvedo").code, platform::kTargetWindowMissing);
}

TEST_F(TypingUnderSway, AnX11WindowSwayWillNotActivateForX11IsReachedThroughWayland) {
    // sway's default: an X11 request to activate a window only marks it urgent.
    ASSERT_EQ(run("swaymsg focus_on_window_activation urgent >/dev/null"), 0);
    const auto korvedo = startTarget("Korvedo X", "xcb");
    const auto other = startTarget("Altro", "wayland");
    ASSERT_TRUE(korvedo->started() && other->started());
    const auto keyboard = platform::createKeyboardTarget();
    const Status activated = keyboard->activate(U"Korvedo X");
    run("swaymsg focus_on_window_activation focus >/dev/null");
    ASSERT_TRUE(activated.ok()) << activated.code << " " << activated.detail;
    SEND(*keyboard, U"8002345060772");
    keyboard->finish();
    EXPECT_EQ(korvedo->logAfter(1), "8002345060772\n");
}

TEST_F(TypingUnderSway, AProgramThatReadsNothingIsNeverOverrunAndOneThatClosesFirstCountsAsClosed) {
    platform::wayland::WaylandKeyboardTarget::Options options;
    options.readTimeout = std::chrono::milliseconds(700);
    platform::wayland::WaylandKeyboardTarget keyboard(options);
    // The seat has our keyboard before the programs start, so that they bind
    // to it while they still run.
    (void)keyboard.lookUp(U"Korvedo");
    const auto korvedo = startTarget("Korvedo", "wayland");
    const auto doomed = startTarget("Effimero", "wayland");
    ASSERT_TRUE(korvedo->started() && doomed->started());
    ASSERT_FALSE(keyboard.deliveryUnwatched());

    // Stopped, it reads nothing: far more keys than its connection holds
    // are never sent, and the send says the keys were not taken.
    kill(korvedo->pid(), SIGSTOP);
    ACTIVATE(keyboard, U"Korvedo");
    Status status;
    for (int i = 0; i < 400 && status.ok(); ++i) {
        status = keyboard.typeText(U"123456789012");
        if (status.ok()) status = keyboard.pressEnter();
    }
    EXPECT_EQ(status.code, platform::kKeysNotTaken) << status.detail;
    keyboard.finish();
    kill(korvedo->pid(), SIGCONT);
    // Alive, and still taking keys.
    sendList(U"Korvedo", {U"marcatore"}, false);
    EXPECT_EQ(korvedo->logBefore("marcatore"), std::optional<std::string>("123456789012\n"));

    // One that goes while its keys are unread has not received them.
    kill(doomed->pid(), SIGSTOP);
    ACTIVATE(keyboard, U"Effimero");
    std::thread closing([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        kill(doomed->pid(), SIGKILL);
    });
    status = keyboard.typeText(U"perso");
    if (status.ok()) status = keyboard.pressEnter();
    closing.join();
    EXPECT_EQ(status.code, platform::kTargetWindowMissing) << status.detail;
    keyboard.finish();
}

TEST_F(TypingUnderSway, ALayoutChangeDuringTheSendStopsItBeforeTheEnterOfTheTextTypedWithIt) {
    const auto korvedo = startTarget("Korvedo", "wayland");
    ASSERT_TRUE(korvedo->started());
    ACTIVATE(m_keyboard, U"Korvedo");
    m_keyboard.expectTexts({U"伨偵-1", U"典傚-2"});
    SEND(m_keyboard, U"伨偵-1");
    // The compositor gives every keyboard, ours too, its configured layout.
    ASSERT_EQ(run("swaymsg input '*' xkb_layout it >/dev/null"), 0);
    Status status = m_keyboard.typeText(U"典傚-2");
    if (status.ok()) status = m_keyboard.pressEnter();
    EXPECT_EQ(status.code, platform::kKeymapReplaced) << status.detail;
    EXPECT_EQ(m_keyboard.typeText(U"3").code, platform::kKeymapReplaced);
    m_keyboard.finish();
    run("swaymsg input '*' xkb_layout us >/dev/null");

    // The next send brings its own keymap again. What the layout change
    // typed stays in the box, with no Enter.
    sendList(U"Korvedo", {U"典傚-4"}, true);
    const auto before = korvedo->logBefore("典傚-4");
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ(before->substr(0, before->find('\n') + 1), "伨偵-1\n");
    EXPECT_EQ(std::count(before->begin(), before->end(), '\n'), 1) << *before;
}

TEST_F(TypingUnderSway, AnX11SendUnderTheOperatorsItalianLayoutIsExactAndLeavesTheirKeysAsTheyWere) {
    const auto korvedo = startTarget("Korvedo", "wayland");
    const auto x11Korvedo = startTarget("Korvedo X", "xcb");
    ASSERT_TRUE(korvedo->started() && x11Korvedo->started());
    // A keyboard of the seat with the Italian layout, as XWayland then
    // serves it: on it '-' is the key US keyboards have '/' on.
    sendList(U"Korvedo", {U"prima"}, true);
    ASSERT_EQ(run("swaymsg input '*' xkb_layout it >/dev/null"), 0);
    constexpr int kItalianMinus = 61;
    constexpr unsigned long kMinus = 0x2d;  // XK_minus
    for (int i = 0; i < 100 && firstKeysym(kItalianMinus) != kMinus; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(firstKeysym(kItalianMinus), kMinus);

    platform::x11::X11KeyboardTarget x11;
    ACTIVATE(x11, U"Korvedo X");
    SEND(x11, U"a-b/c");
    x11.finish();
    const std::string received = x11Korvedo->logAfter(1);
    const unsigned long after = firstKeysym(kItalianMinus);
    run("swaymsg input '*' xkb_layout us >/dev/null");
    EXPECT_EQ(received, "a-b/c\n");
    EXPECT_EQ(after, kMinus);
}

}  // namespace
}  // namespace tastalo::prova

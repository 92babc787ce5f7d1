#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/keyboard_target.h"
#include "platform/title_match.h"
#include "support/temp_folder.h"
#include "support/x11/target_program.h"
#include "support/x11/x11_probe.h"

namespace tastalo::prova {

// Tests that type into real windows on the private display set up by
// with_display.sh, with or without a window manager.
class DisplayTest : public ::testing::Test {
protected:
    static X11Probe& probe() {
        // Made once, before any backend opens its own connection.
        static X11Probe instance;
        return instance;
    }

    void SetUp() override {
        ASSERT_TRUE(probe().connected())
            << "no X display: run the test through tests/support/x11/with_display.sh";
    }

    bool underWindowManager() const {
        const char* wm = std::getenv("WITH_DISPLAY_WM");
        return wm && std::string(wm) == "openbox";
    }

    std::unique_ptr<TargetProgram> startTarget(const std::string& title, const std::string& logName) {
        auto target =
            std::make_unique<TargetProgram>(probe(), KORVEDO_TARGET_PATH, title,
                                            m_folder.file(QString::fromStdString(logName)).toStdString());
        EXPECT_TRUE(target->started()) << "the target program \"" << title << "\" did not show its window";
        return target;
    }

    // Brings a window to the front with xdotool, the way an operator would.
    void bringToFront(unsigned long window) {
        const std::string id = std::to_string(window);
        const std::string command = underWindowManager()
                                        ? "xdotool windowactivate --sync " + id
                                        : "xdotool windowraise " + id + " windowfocus --sync " + id;
        ASSERT_EQ(run(command + " >/dev/null 2>&1"), 0) << command;
        // xdotool's --sync trusts _NET_ACTIVE_WINDOW, which may still name
        // this window while the manager has yet to handle a focus change
        // made before; keys typed then would land elsewhere.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while ((probe().inputFocus() != window || probe().activeWindow() != window) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_EQ(probe().inputFocus(), window)
            << "the focus did not settle on the window brought to the front";
        ASSERT_EQ(probe().activeWindow(), window);
    }

    // Types a marker line into the window in front and gives what `target`
    // had logged before it: whether anything arrived, known without waiting.
    std::optional<std::string> logBeforeMarker(const TargetProgram& target) {
        static constexpr std::string_view kMarker = "marcatore";
        for (const char letter : kMarker) probe().tap(std::string(1, letter).c_str());
        probe().tap("Return");
        return target.logBefore(std::string(kMarker));
    }

    // What a target's log holds after a barcode and Enter.
    static std::string line(std::u32string_view barcode) { return platform::toUtf8(barcode) + "\n"; }

    TempFolder m_folder;
};

}  // namespace tastalo::prova

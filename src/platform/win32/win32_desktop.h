#pragma once

#include "platform/win32/desktop.h"

namespace tastalo::platform::win32 {

// The desktop of the Windows session this process runs in. Windows of this
// process are never listed: the program never types into itself.
class Win32Desktop final : public Desktop {
public:
    std::vector<TopLevelWindow> topLevelWindows() override;
    bool runsAboveThisProcess(WindowHandle window) override;
    WindowHandle foregroundWindow() override;
    bool setForegroundWindow(WindowHandle window) override;
    bool setForegroundWindowAttached(WindowHandle window) override;
    bool isMinimised(WindowHandle window) override;
    void restore(WindowHandle window) override;
    std::vector<std::uint16_t> heldModifiers() override;
    bool anyKeyHeld() override;
    std::size_t inject(const std::vector<KeyStroke>& strokes) override;
    void pause(std::chrono::milliseconds duration) override;
};

}  // namespace tastalo::platform::win32

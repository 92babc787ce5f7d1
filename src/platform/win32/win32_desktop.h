#pragma once

#include <memory>

#include "platform/win32/desktop.h"

namespace tastalo::platform::win32 {

class KeyWatch;

// The desktop of the Windows session this process runs in. Windows of this
// process are never listed: the program never types into itself.
class Win32Desktop final : public Desktop {
public:
    Win32Desktop();
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    std::vector<TopLevelWindow> topLevelWindows() override;
    bool runsAboveThisProcess(WindowHandle window) override;
    WindowHandle foregroundWindow() override;
    bool setForegroundWindow(WindowHandle window) override;
    bool setForegroundWindowAttached(WindowHandle window) override;
    bool isMinimised(WindowHandle window) override;
    void restore(WindowHandle window) override;
    std::vector<std::uint16_t> heldModifiers() override;
    std::vector<std::uint16_t> heldKeys() override;
    std::u32string keyName(std::uint16_t key) override;
    std::size_t inject(const std::vector<KeyStroke>& strokes) override;
    void pause(std::chrono::milliseconds duration) override;
    bool startWatch(WindowHandle target) override;
    KeysSeen waitForKeysSeen(std::size_t count, std::chrono::milliseconds limit) override;
    void swallowRest() override;
    std::size_t operatorKeysHeldBack() override;
    void stopWatch() override;
    TargetReading waitUntilRead(WindowHandle window, std::chrono::milliseconds limit) override;
    bool routesLate() override;
    bool activeInItsThread(WindowHandle window) override;

private:
    std::unique_ptr<KeyWatch> m_watch;
    std::size_t m_barriers = 0;  // barriers injected under the watch
};

}  // namespace tastalo::platform::win32

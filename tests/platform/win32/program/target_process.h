#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace tastalo::prova {

// Another process running target windows (this program with --target), so
// that the backend types across processes as it does for the operator.
class TargetProcess {
public:
    // Starts the process and waits until all its windows are shown.
    // Null, with `error` set, when it does not come up in time.
    // `options` go before the titles (see runTargetWindows()).
    static std::unique_ptr<TargetProcess> start(const std::vector<std::wstring>& titles, std::string& error,
                                                const std::wstring& options = {});
    ~TargetProcess();
    TargetProcess(const TargetProcess&) = delete;
    TargetProcess& operator=(const TargetProcess&) = delete;

    DWORD processId() const { return m_process.dwProcessId; }
    // The window created for titles[index].
    HWND window(std::size_t index) const { return m_windows.at(index); }
    // Position in titles of the window `window`, or -1 when it is not ours.
    int indexOf(HWND window) const;

    std::wstring text(std::size_t index) const;
    void clear(std::size_t index);
    // Waits until the edit box of window `index` holds `expected`; answers
    // with what it holds at the end.
    std::wstring waitForText(std::size_t index, const std::wstring& expected) const;

private:
    explicit TargetProcess(PROCESS_INFORMATION process, std::size_t windowCount);
    bool collectWindows();
    HWND edit(std::size_t index) const;

    PROCESS_INFORMATION m_process{};
    std::vector<HWND> m_windows;
};

// Handles this thread's pending messages (its own windows live on it).
void pumpMessages();

// Brings `window` to the front and waits until it has stayed there for a
// moment. Under Wine the X server's focus events arrive late, and a late one
// can hand the foreground back to the window that was activated before.
bool bringToFrontSettled(HWND window);

}  // namespace tastalo::prova

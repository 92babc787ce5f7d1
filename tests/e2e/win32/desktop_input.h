#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What an operator does at the desktop, done from another process: keys
// pressed into whatever window is in front, the clipboard, the windows a
// program shows.
namespace tastalo::prova {

// Polls `condition` (every few milliseconds, handling this thread's
// messages meanwhile) until it holds or `timeoutMs` has passed.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Brings `thief` to the front when the `presses`-th key press from now goes
// into the input queue, whoever sends it: between two keys of one batch, the
// worst moment for a program that checks the foreground between batches.
// Needs this thread to handle its messages meanwhile (waitUntil does).
class FrontTakenOnPress {
public:
    FrontTakenOnPress(HWND thief, int presses);
    ~FrontTakenOnPress();
    FrontTakenOnPress(const FrontTakenOnPress&) = delete;
    FrontTakenOnPress& operator=(const FrontTakenOnPress&) = delete;
    bool installed() const { return m_hook != nullptr; }
    bool taken() const;

private:
    HHOOK m_hook = nullptr;
};

// The visible top-level windows of process `processId`, topmost first.
std::vector<HWND> visibleWindowsOf(DWORD processId);
std::wstring titleOf(HWND window);
bool hasCaption(HWND window);

// Presses and releases `key` while `held` (modifiers) are down.
void pressKey(WORD key, std::initializer_list<WORD> held = {});
// Types `text` character by character (Unicode keystrokes).
void typeText(std::wstring_view text);

// The keys of the keyboard down now, as the system's key state has them
// (virtual-key codes; mouse buttons aside).
std::vector<int> keysDown();

// Under Wine only: runs `script` with /bin/sh beside Wine, on the X display
// Wine draws on, so that the keys xdotool presses reach Wine as the
// keyboard's own (not injected). Waits until it ends and answers its exit
// status; nothing when it could not run (not under Wine, or out of time).
std::optional<int> runOnXDisplay(const std::string& script, DWORD timeoutMs = 10000);
// Under Wine, the Unix path of a file named by its Windows path.
std::string unixPath(const std::wstring& path);

void emptyClipboard();
std::optional<std::wstring> clipboardText();

// Keystrokes as the operator counts them: a character (a surrogate pair
// included) or an Enter, which an edit box stores as "\r\n".
std::size_t keystrokesIn(std::wstring_view text);

// UTF-8, for failure messages.
std::string utf8(std::wstring_view text);

}  // namespace tastalo::prova

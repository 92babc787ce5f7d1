#include "backend_checks.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "own_window.h"
#include "platform/conformance_cases.h"
#include "platform/keyboard_target.h"
#include "platform/title_match.h"
#include "platform/win32/utf16.h"
#include "platform/win32/windows_keyboard_target.h"
#include "target_process.h"

namespace tastalo::prova {
namespace {

using platform::KeyboardTarget;
using platform::kTargetWindowMissing;
using platform::Status;
using platform::conformance::TypingCase;

constexpr DWORD kWaitTimeoutMs = 3000;

std::wstring wide(std::u32string_view text) {
    const std::u16string units = platform::win32::toUtf16(text);
    return std::wstring(units.begin(), units.end());
}

// Printable ASCII as it is, everything else escaped, so a failure line reads
// the same on any console.
std::string shown(const std::wstring& text) {
    std::string result = "\"";
    for (wchar_t c : text) {
        if (c == L'\r') {
            result += "\\r";
        } else if (c == L'\n') {
            result += "\\n";
        } else if (c == L'\t') {
            result += "\\t";
        } else if (c >= 0x20 && c < 0x7F) {
            result += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
            result += escaped;
        }
    }
    return result + "\"";
}

std::string shown(const Status& status) {
    return "status " + std::to_string(status.code) + " '" + platform::toUtf8(status.subject) + "' '" +
           status.detail + "'";
}

std::string expectedGot(const std::wstring& expected, const std::wstring& actual) {
    return "expected " + shown(expected) + ", got " + shown(actual);
}

void injectKey(WORD key, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, static_cast<int>(sizeof input));
}

bool isDown(WORD key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

// The target process and a backend already activated on its only window.
struct ActiveTarget {
    std::unique_ptr<TargetProcess> process;
    std::unique_ptr<KeyboardTarget> keyboard;
};

ActiveTarget startActivated(Checks& checks, const std::wstring& title, const char* group) {
    ActiveTarget result;
    std::string error;
    result.process = TargetProcess::start({title}, error);
    if (!result.process) {
        checks.expect(false, std::string(group) + ": target program starts", error);
        return result;
    }
    result.keyboard = platform::createKeyboardTarget();
    const Status status = result.keyboard->activate(std::u32string(title.begin(), title.end()));
    if (!checks.expect(status.ok() && GetForegroundWindow() == result.process->window(0),
                       std::string(group) + ": target window activated", shown(status))) {
        result.keyboard.reset();
    }
    return result;
}

// Types like the send does: the barcode, then Enter.
std::wstring typeBarcode(KeyboardTarget& keyboard, std::u32string_view barcode, Status& status) {
    status = keyboard.typeText(barcode);
    if (status.ok()) status = keyboard.pressEnter();
    return wide(barcode) + L"\r\n";
}

}  // namespace

void checkMissingWindows(Checks& checks) {
    OwnWindow own(L"Korvedo");
    auto keyboard = platform::createKeyboardTarget();

    Status status = keyboard->activate(U"Korvedo");
    checks.expect(status.code == kTargetWindowMissing,
                  "missing: a window of this process is never the target", shown(status));

    status = keyboard->activate(U"Nessuna finestra si chiama così");
    checks.expect(status.code == kTargetWindowMissing && status.subject == U"Nessuna finestra si chiama così",
                  "missing: no window with the title gives code 5 and the title asked for", shown(status));
    checks.expect(!keyboard->targetHasFocus(), "missing: no focus after a failed activation");

    status = keyboard->typeText(U"abc");
    checks.expect(!status.ok(), "missing: typing without an activated window is refused", shown(status));
    status = keyboard->pressEnter();
    checks.expect(!status.ok(), "missing: Enter without an activated window is refused", shown(status));
}

void checkTitleChoice(Checks& checks) {
    // Holds the wanted title itself, and must be passed over every time.
    OwnWindow own(L"Korvedo");
    for (const auto& titleCase : platform::conformance::titleCases()) {
        const std::string name = std::string("title: ") + titleCase.name;
        std::vector<std::wstring> titles;
        for (const std::u32string& title : titleCase.titles) titles.push_back(wide(title));
        std::string error;
        const auto process = TargetProcess::start(titles, error);
        if (!process) {
            checks.expect(false, name, error);
            continue;
        }
        auto keyboard = platform::createKeyboardTarget();
        const Status status = keyboard->activate(titleCase.wanted);
        if (titleCase.expected < 0) {
            checks.expect(status.code == kTargetWindowMissing, name, shown(status));
        } else {
            const int chosen = process->indexOf(GetForegroundWindow());
            checks.expect(status.ok() && chosen == titleCase.expected, name,
                          shown(status) + ", window " + std::to_string(chosen) + " in front, " +
                              std::to_string(titleCase.expected) + " expected");
        }
    }
}

void checkTyping(Checks& checks) {
    ActiveTarget target = startActivated(checks, L"Korvedo", "typing");
    if (!target.keyboard) return;
    KeyboardTarget& keyboard = *target.keyboard;

    for (const TypingCase& typingCase : platform::conformance::typingCases()) {
        target.process->clear(0);
        const bool focused = keyboard.targetHasFocus();
        Status status;
        const std::wstring expected = typeBarcode(keyboard, typingCase.barcode, status);
        const std::wstring actual = target.process->waitForText(0, expected);
        checks.expect(focused && status.ok() && actual == expected, std::string("typing: ") + typingCase.name,
                      (focused ? "" : "focus lost before typing; ") + shown(status) + "; " +
                          expectedGot(expected, actual));
    }

    // A whole list in one go, as a send types it: nothing lost or reordered.
    target.process->clear(0);
    std::wstring expected;
    Status status;
    for (const TypingCase& typingCase : platform::conformance::typingCases()) {
        expected += typeBarcode(keyboard, typingCase.barcode, status);
        if (!status.ok()) break;
    }
    const std::wstring actual = target.process->waitForText(0, expected);
    checks.expect(status.ok() && actual == expected, "typing: every case in a row",
                  shown(status) + "; " + expectedGot(expected, actual));

    keyboard.finish();
    keyboard.finish();
    checks.expect(!keyboard.targetHasFocus() && !keyboard.typeText(U"x").ok(),
                  "typing: after finish (twice) the window is no longer the target");
}

void checkRefusedText(Checks& checks) {
    ActiveTarget target = startActivated(checks, L"Korvedo", "refused");
    if (!target.keyboard) return;
    target.process->clear(0);

    const std::u32string refused[] = {
        U"a\u0001b",
        U"a\nb",
        U"a\rb",
        U"\u001B[2J",
        U"ok\u007F",
        std::u32string(U"a") + static_cast<char32_t>(0xD800) + U"b",
        std::u32string(U"a") + static_cast<char32_t>(0x110000),
    };
    bool allRefused = true;
    std::string detail;
    for (const std::u32string& text : refused) {
        const Status status = target.keyboard->typeText(text);
        if (status.code != platform::kCharacterNotTypeable) {
            allRefused = false;
            detail += shown(wide(text)) + " gave " + shown(status) + "; ";
        }
    }
    checks.expect(allRefused, "refused: control characters and non-characters fail", detail);

    // Whatever was typed of a refused text would precede the marker.
    Status status;
    const std::wstring expected = typeBarcode(*target.keyboard, U"z", status);
    const std::wstring actual = target.process->waitForText(0, expected);
    checks.expect(status.ok() && actual == expected, "refused: nothing of a refused text reaches the window",
                  expectedGot(expected, actual));
}

void checkHeldModifiers(Checks& checks) {
    ActiveTarget target = startActivated(checks, L"Korvedo", "modifiers");
    if (!target.keyboard) return;

    const struct {
        WORD key;
        const char* name;
    } modifiers[] = {{VK_LMENU, "Alt"},
                     {VK_LCONTROL, "Ctrl"},
                     {VK_LSHIFT, "Shift"},
                     {VK_RMENU, "right Alt"},
                     {VK_LWIN, "Windows"}};
    for (const auto& modifier : modifiers) {
        const std::string name =
            std::string("modifiers: text typed as is while ") + modifier.name + " is held";
        target.process->clear(0);
        // As if the operator held the key down while the send goes on.
        injectKey(modifier.key, false);
        Status status;
        const std::wstring expected = typeBarcode(*target.keyboard, U"Ab1\tc", status);
        const std::wstring actual = target.process->waitForText(0, expected);
        const bool stillDown = isDown(modifier.key);
        checks.expect(
            status.ok() && actual == expected && !stillDown, name,
            shown(status) + "; " + expectedGot(expected, actual) + (stillDown ? "; still held" : ""));
        if (stillDown) injectKey(modifier.key, true);
    }
}

void checkFocusGuard(Checks& checks) {
    ActiveTarget target = startActivated(checks, L"Korvedo", "focus");
    if (!target.keyboard) return;
    KeyboardTarget& keyboard = *target.keyboard;
    checks.expect(keyboard.targetHasFocus(), "focus: the activated window has it");

    {
        OwnWindow other(L"Altro programma");
        checks.expect(!keyboard.targetHasFocus(), "focus: lost when another window comes in front");
        SetWindowTextW(target.process->window(0), L"Titolo cambiato");
        checks.expect(!keyboard.targetHasFocus(), "focus: still lost, whatever the title says");
    }

    const Status status = keyboard.activate(U"Titolo cambiato");
    checks.expect(status.ok() && keyboard.targetHasFocus(), "focus: regained by activating the window again",
                  shown(status));

    PostMessageW(target.process->window(0), WM_CLOSE, 0, 0);
    const ULONGLONG end = GetTickCount64() + kWaitTimeoutMs;
    while (IsWindow(target.process->window(0)) && GetTickCount64() < end) Sleep(10);
    checks.expect(!keyboard.targetHasFocus(), "focus: lost when the window is closed");
}

void checkMinimisedTarget(Checks& checks) {
    std::string error;
    const auto process = TargetProcess::start({L"Korvedo"}, error);
    if (!checks.expect(process != nullptr, "minimised: target program starts", error)) return;
    ShowWindow(process->window(0), SW_MINIMIZE);
    const ULONGLONG end = GetTickCount64() + kWaitTimeoutMs;
    while (!IsIconic(process->window(0)) && GetTickCount64() < end) Sleep(10);

    auto keyboard = platform::createKeyboardTarget();
    Status status = keyboard->activate(U"Korvedo");
    checks.expect(status.ok() && !IsIconic(process->window(0)),
                  "minimised: the window is restored and activated", shown(status));
    const std::wstring expected = typeBarcode(*keyboard, U"MIN-01", status);
    const std::wstring actual = process->waitForText(0, expected);
    checks.expect(status.ok() && actual == expected, "minimised: typing reaches its edit box",
                  expectedGot(expected, actual));
}

}  // namespace tastalo::prova

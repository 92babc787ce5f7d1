#include "desktop_input.h"

#include <cstdio>

#include "target_process.h"

namespace tastalo::prova {
namespace {

struct Search {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK collectVisible(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search.processId && IsWindowVisible(window)) search.windows.push_back(window);
    return TRUE;
}

bool isExtendedKey(WORD key) {
    switch (key) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_INSERT:
        case VK_DELETE: return true;
        default: return false;
    }
}

INPUT keyInput(WORD key, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (release ? KEYEVENTF_KEYUP : 0) | (isExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void send(std::vector<INPUT>& inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), static_cast<int>(sizeof(INPUT)));
}

HWND g_thief = nullptr;
int g_pressesLeft = 0;

LRESULT CALLBACK stealOnPress(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && g_pressesLeft > 0 &&
        --g_pressesLeft == 0) {
        SetForegroundWindow(g_thief);
    }
    return CallNextHookEx(nullptr, code, message, data);
}

}  // namespace

FrontTakenOnPress::FrontTakenOnPress(HWND thief, int presses) {
    g_thief = thief;
    g_pressesLeft = presses;
    m_hook = SetWindowsHookExW(WH_KEYBOARD_LL, stealOnPress, GetModuleHandleW(nullptr), 0);
}

FrontTakenOnPress::~FrontTakenOnPress() {
    if (m_hook != nullptr) UnhookWindowsHookEx(m_hook);
    g_pressesLeft = 0;
}

bool FrontTakenOnPress::taken() const { return g_pressesLeft == 0; }

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        pumpMessages();
        // Wakes at once for a message sent to this thread (a keyboard hook's).
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

std::vector<HWND> visibleWindowsOf(DWORD processId) {
    Search search{processId, {}};
    EnumWindows(collectVisible, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

std::wstring titleOf(HWND window) {
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int copied = GetWindowTextW(window, title.data(), static_cast<int>(title.size()));
    title.resize(static_cast<std::size_t>(copied));
    return title;
}

bool hasCaption(HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION; }

void pressKey(WORD key, std::initializer_list<WORD> held) {
    std::vector<INPUT> inputs;
    for (WORD modifier : held) inputs.push_back(keyInput(modifier, false));
    inputs.push_back(keyInput(key, false));
    inputs.push_back(keyInput(key, true));
    for (auto modifier = std::rbegin(held); modifier != std::rend(held); ++modifier) {
        inputs.push_back(keyInput(*modifier, true));
    }
    send(inputs);
}

void typeText(std::wstring_view text) {
    std::vector<INPUT> inputs;
    for (wchar_t unit : text) {
        for (bool release : {false, true}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = static_cast<WORD>(unit);
            input.ki.dwFlags = KEYEVENTF_UNICODE | (release ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(input);
        }
    }
    send(inputs);
}

std::vector<int> keysDown() {
    std::vector<int> down;
    // From VK_BACK on: the codes below are the mouse buttons and Cancel.
    for (int key = VK_BACK; key <= 0xFE; ++key) {
        if (GetAsyncKeyState(key) & 0x8000) down.push_back(key);
    }
    return down;
}

std::string unixPath(const std::wstring& path) {
    // Wine's own export, absent on Windows.
    using ToUnix = char* (*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* converted = toUnix ? toUnix(path.c_str()) : nullptr;
    if (converted == nullptr) return {};
    std::string result = converted;
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

std::optional<int> runOnXDisplay(const std::string& script, DWORD timeoutMs) {
    wchar_t folder[MAX_PATH], file[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"xsh", 0, file)) return std::nullopt;
    const std::wstring status = file;
    const std::string unixStatus = unixPath(status);
    std::optional<int> exitStatus;
    if (!unixStatus.empty()) {
        // Wine starts a Unix program but gives no handle to wait on: the
        // script writes its status into the file once it has ended.
        const std::string command = "sh -c \"(" + script + "); echo $? > '" + unixStatus + "'\"";
        std::wstring commandLine(command.begin(), command.end());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(L"Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process)) {
            // No handle to close: Wine gives none for a Unix process.
            waitUntil(
                [&] {
                    WIN32_FILE_ATTRIBUTE_DATA data{};
                    return GetFileAttributesExW(status.c_str(), GetFileExInfoStandard, &data) &&
                           data.nFileSizeLow > 0;
                },
                timeoutMs);
            if (FILE* written = _wfopen(status.c_str(), L"r")) {
                int value = 0;
                if (std::fscanf(written, "%d", &value) == 1) exitStatus = value;
                std::fclose(written);
            }
        }
    }
    DeleteFileW(status.c_str());
    return exitStatus;
}

void emptyClipboard() {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

std::optional<std::wstring> clipboardText() {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<std::wstring> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* characters = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = characters;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::size_t keystrokesIn(std::wstring_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pairedUnit =
            IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
        const bool enter = text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n';
        if (pairedUnit || enter) ++i;
        ++count;
    }
    return count;
}

std::string utf8(std::wstring_view text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

}  // namespace tastalo::prova

#include "target_window.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cwchar>

namespace tastalo::prova {
namespace {

constexpr wchar_t kClassName[] = L"TastaloProvaDestinazione";
int g_openWindows = 0;
bool g_fast = false;

HWND editOf(HWND window) { return FindWindowExW(window, nullptr, L"EDIT", nullptr); }

LRESULT CALLBACK targetProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            const HWND edit =
                CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | (g_fast ? 0 : WS_VISIBLE) | WS_VSCROLL | ES_MULTILINE |
                                    ES_AUTOVSCROLL | ES_WANTRETURN,
                                0, 0, 0, 0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
            return edit ? 0 : -1;
        }
        case WM_SIZE: MoveWindow(editOf(window), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE); return 0;
        case WM_SETFOCUS:
            // Fast: the window keeps the focus and stores its characters in
            // the hidden box, nothing drawn.
            if (!g_fast) SetFocus(editOf(window));
            return 0;
        case WM_CHAR:
            if (!g_fast) break;
            SendMessageW(editOf(window), WM_CHAR, wParam, lParam);
            return 0;
        case WM_DESTROY:
            if (--g_openWindows == 0) PostQuitMessage(0);
            return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int runTargetWindows(const std::vector<std::wstring>& titles, TargetOptions options) {
    g_fast = options.fast;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = targetProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass)) return 2;

    int offset = 0;
    HWND last = nullptr;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const HWND window =
            CreateWindowExW(0, kClassName, titles[i].c_str(), WS_OVERLAPPEDWINDOW, 40 + offset, 40 + offset,
                            420, 240, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!window) return 3;
        last = window;
        ++g_openWindows;
        offset += 30;
        SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(i));
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        SetForegroundWindow(window);
    }

    constexpr UINT_PTR kStealTimer = 1;
    if (options.stealAfterMs > 0) SetTimer(nullptr, kStealTimer, options.stealAfterMs, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr) {
            KillTimer(nullptr, message.wParam);
            SetForegroundWindow(last);
            continue;
        }
        // Reading slowly: the character stays "being read" for the pause.
        if (message.message == WM_CHAR && options.readPauseMs > 0) Sleep(options.readPauseMs);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

int runTargetProgram(const std::vector<std::wstring>& arguments) {
    TargetOptions options;
    std::size_t next = 0;
    for (; next + 1 < arguments.size(); next += 2) {
        const std::wstring& option = arguments[next];
        const auto value = static_cast<unsigned>(std::wcstoul(arguments[next + 1].c_str(), nullptr, 10));
        if (option == L"--read-pause") {
            options.readPauseMs = value;
        } else if (option == L"--steal-after") {
            options.stealAfterMs = value;
        } else if (option == L"--fast") {
            options.fast = value != 0;
        } else {
            break;
        }
    }
    return runTargetWindows({arguments.begin() + static_cast<std::ptrdiff_t>(next), arguments.end()},
                            options);
}

}  // namespace tastalo::prova

#include "target_window.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace tastalo::prova {
namespace {

constexpr wchar_t kClassName[] = L"TastaloProvaDestinazione";
int g_openWindows = 0;

LRESULT CALLBACK targetProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            const HWND edit = CreateWindowExW(
                WS_EX_CLIENTEDGE, L"EDIT", L"",
                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0, 0,
                0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
            return edit ? 0 : -1;
        }
        case WM_SIZE:
            MoveWindow(FindWindowExW(window, nullptr, L"EDIT", nullptr), 0, 0, LOWORD(lParam), HIWORD(lParam),
                       TRUE);
            return 0;
        case WM_SETFOCUS: SetFocus(FindWindowExW(window, nullptr, L"EDIT", nullptr)); return 0;
        case WM_DESTROY:
            if (--g_openWindows == 0) PostQuitMessage(0);
            return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int runTargetWindows(const std::vector<std::wstring>& titles) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = targetProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass)) return 2;

    int offset = 0;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const HWND window =
            CreateWindowExW(0, kClassName, titles[i].c_str(), WS_OVERLAPPEDWINDOW, 40 + offset, 40 + offset,
                            420, 240, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!window) return 3;
        ++g_openWindows;
        offset += 30;
        SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(i));
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        SetForegroundWindow(window);
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace tastalo::prova

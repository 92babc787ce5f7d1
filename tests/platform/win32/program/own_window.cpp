#include "own_window.h"

#include "target_process.h"

namespace tastalo::prova {
namespace {

constexpr wchar_t kClassName[] = L"TastaloProvaPropria";

void registerOnce() {
    static const bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kClassName;
        return RegisterClassW(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

OwnWindow::OwnWindow(const std::wstring& title) {
    registerOnce();
    m_window = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 600, 300, 300, 200, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(m_window, SW_SHOWNORMAL);
    bringToFrontSettled(m_window);
}

OwnWindow::~OwnWindow() {
    DestroyWindow(m_window);
    pumpMessages();
}

}  // namespace tastalo::prova

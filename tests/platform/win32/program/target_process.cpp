#include "target_process.h"

#include <algorithm>

namespace tastalo::prova {
namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kTextTimeoutMs = 3000;
constexpr DWORD kSettleTimeoutMs = 5000;
constexpr ULONGLONG kSettledAfterMs = 300;

std::wstring ownPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

struct Search {
    DWORD process;
    std::vector<HWND>* windows;
};

BOOL CALLBACK collectOf(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search.process || !IsWindowVisible(window)) return TRUE;
    const auto index = static_cast<std::size_t>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (index < search.windows->size()) (*search.windows)[index] = window;
    return TRUE;
}

}  // namespace

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool bringToFrontSettled(HWND window) {
    const ULONGLONG end = GetTickCount64() + kSettleTimeoutMs;
    ULONGLONG inFrontSince = 0;
    while (GetTickCount64() < end) {
        pumpMessages();
        if (GetForegroundWindow() != window) {
            SetForegroundWindow(window);
            inFrontSince = 0;
        } else if (inFrontSince == 0) {
            inFrontSince = GetTickCount64();
        } else if (GetTickCount64() - inFrontSince >= kSettledAfterMs) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

TargetProcess::TargetProcess(PROCESS_INFORMATION process, std::size_t windowCount)
    : m_process(process), m_windows(windowCount, nullptr) {}

std::unique_ptr<TargetProcess> TargetProcess::start(const std::vector<std::wstring>& titles,
                                                    std::string& error, const std::wstring& options) {
    std::wstring commandLine = L"\"" + ownPath() + L"\" --target";
    if (!options.empty()) commandLine += L" " + options;
    for (const std::wstring& title : titles) commandLine += L" \"" + title + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Wine now and then refuses a start (an internal error) right after an
    // earlier target has ended: a few tries before giving up.
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt > 0) Sleep(200);
        started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process) != FALSE;
    }
    if (!started) {
        error = "CreateProcessW failed with " + std::to_string(GetLastError());
        return nullptr;
    }
    std::unique_ptr<TargetProcess> target(new TargetProcess(process, titles.size()));
    WaitForInputIdle(process.hProcess, kStartTimeoutMs);
    const ULONGLONG end = GetTickCount64() + kStartTimeoutMs;
    while (!target->collectWindows()) {
        if (GetTickCount64() > end || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            error = "the target windows did not appear";
            return nullptr;
        }
        pumpMessages();
        Sleep(20);
    }
    // The last window is the most recently active, as the titles' order says.
    if (!bringToFrontSettled(target->m_windows.back())) {
        error = "the target window did not stay in front";
        return nullptr;
    }
    return target;
}

bool TargetProcess::collectWindows() {
    Search search{m_process.dwProcessId, &m_windows};
    EnumWindows(collectOf, reinterpret_cast<LPARAM>(&search));
    return std::none_of(m_windows.begin(), m_windows.end(), [](HWND w) { return w == nullptr; });
}

TargetProcess::~TargetProcess() {
    for (HWND window : m_windows) {
        if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(m_process.hProcess, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, 5000);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

int TargetProcess::indexOf(HWND window) const {
    const auto found = std::find(m_windows.begin(), m_windows.end(), window);
    return found == m_windows.end() ? -1 : static_cast<int>(found - m_windows.begin());
}

HWND TargetProcess::edit(std::size_t index) const {
    return FindWindowExW(m_windows.at(index), nullptr, L"EDIT", nullptr);
}

std::wstring TargetProcess::text(std::size_t index) const {
    const HWND box = edit(index);
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(box, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        return L"<no answer>";
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        2000, &copied);
    text.resize(copied);
    return text;
}

void TargetProcess::clear(std::size_t index) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(edit(index), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 2000,
                        &ignored);
}

std::wstring TargetProcess::waitForText(std::size_t index, const std::wstring& expected) const {
    const ULONGLONG end = GetTickCount64() + kTextTimeoutMs;
    std::wstring actual = text(index);
    while (actual != expected && GetTickCount64() < end) {
        pumpMessages();
        Sleep(10);
        actual = text(index);
    }
    return actual;
}

}  // namespace tastalo::prova

#include "platform/win32/win32_desktop.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <iterator>
#include <optional>

#include "platform/win32/key_watch.h"
#include "platform/win32/utf16.h"

namespace tastalo::platform::win32 {

static_assert(vk::kTab == VK_TAB && vk::kReturn == VK_RETURN);
static_assert(vk::kLeftWin == VK_LWIN && vk::kRightWin == VK_RWIN);
static_assert(vk::kLeftShift == VK_LSHIFT && vk::kRightShift == VK_RSHIFT);
static_assert(vk::kLeftControl == VK_LCONTROL && vk::kRightControl == VK_RCONTROL);
static_assert(vk::kLeftAlt == VK_LMENU && vk::kRightAlt == VK_RMENU);

namespace {

HWND toHwnd(WindowHandle window) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(window)); }
WindowHandle toHandle(HWND window) { return static_cast<WindowHandle>(reinterpret_cast<UINT_PTR>(window)); }

std::u32string titleOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return fromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

struct Enumeration {
    DWORD ownProcess = 0;
    std::vector<TopLevelWindow> windows;
};

BOOL CALLBACK collect(HWND window, LPARAM context) {
    auto& enumeration = *reinterpret_cast<Enumeration*>(context);
    if (!IsWindowVisible(window)) return TRUE;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == enumeration.ownProcess) return TRUE;
    enumeration.windows.push_back({toHandle(window), titleOf(window)});
    return TRUE;
}

// Right-hand Ctrl and Alt and both Windows keys are extended keys: without
// the flag their release would reach the system as the left-hand key's.
bool isExtended(std::uint16_t key) {
    return key == VK_RCONTROL || key == VK_RMENU || key == VK_LWIN || key == VK_RWIN;
}

INPUT toInput(const KeyStroke& stroke, ULONG_PTR marker) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.dwExtraInfo = marker;
    if (stroke.kind == KeyStroke::Kind::Character) {
        input.ki.wVk = 0;
        input.ki.wScan = stroke.code;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
    } else {
        input.ki.wVk = stroke.code;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(stroke.code, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = isExtended(stroke.code) ? KEYEVENTF_EXTENDEDKEY : 0;
    }
    if (stroke.release) input.ki.dwFlags |= KEYEVENTF_KEYUP;
    return input;
}

// The mandatory integrity level of a process (low, medium, high, system),
// when its token can be read.
std::optional<DWORD> integrityLevel(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
    std::optional<DWORD> level;
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    if (size > 0) {
        std::vector<unsigned char> buffer(size);
        if (GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
            const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
            const PSID sid = label->Label.Sid;
            const UCHAR count = *GetSidSubAuthorityCount(sid);
            if (count > 0) level = *GetSidSubAuthority(sid, count - 1u);
        }
    }
    CloseHandle(token);
    return level;
}

}  // namespace

Win32Desktop::Win32Desktop() = default;

Win32Desktop::~Win32Desktop() = default;

bool Win32Desktop::runsAboveThisProcess(WindowHandle window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(toHwnd(window), &processId);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return false;
    const std::optional<DWORD> target = integrityLevel(process);
    CloseHandle(process);
    const std::optional<DWORD> own = integrityLevel(GetCurrentProcess());
    return target && own && *target > *own;
}

std::vector<TopLevelWindow> Win32Desktop::topLevelWindows() {
    Enumeration enumeration;
    enumeration.ownProcess = GetCurrentProcessId();
    EnumWindows(collect, reinterpret_cast<LPARAM>(&enumeration));
    return std::move(enumeration.windows);
}

WindowHandle Win32Desktop::foregroundWindow() { return toHandle(GetForegroundWindow()); }

bool Win32Desktop::setForegroundWindow(WindowHandle window) {
    return SetForegroundWindow(toHwnd(window)) != FALSE;
}

bool Win32Desktop::setForegroundWindowAttached(WindowHandle window) {
    const HWND target = toHwnd(window);
    const DWORD ownThread = GetCurrentThreadId();
    const HWND foreground = GetForegroundWindow();
    const DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    // Sharing the foreground thread's input state makes this thread count as
    // the one the operator last used, which the foreground rules accept.
    const bool attached = foregroundThread != 0 && foregroundThread != ownThread &&
                          AttachThreadInput(ownThread, foregroundThread, TRUE) != FALSE;
    BringWindowToTop(target);
    const bool accepted = SetForegroundWindow(target) != FALSE;
    if (attached) AttachThreadInput(ownThread, foregroundThread, FALSE);
    return accepted;
}

bool Win32Desktop::isMinimised(WindowHandle window) { return IsIconic(toHwnd(window)) != FALSE; }

void Win32Desktop::restore(WindowHandle window) { ShowWindow(toHwnd(window), SW_RESTORE); }

std::vector<std::uint16_t> Win32Desktop::heldModifiers() {
    std::vector<std::uint16_t> held;
    for (std::uint16_t key : modifierKeys()) {
        if (GetAsyncKeyState(key) & 0x8000) held.push_back(key);
    }
    return held;
}

std::vector<std::uint16_t> Win32Desktop::heldKeys() {
    std::vector<std::uint16_t> held;
    // From VK_BACK on: the codes below are the mouse buttons and Cancel.
    for (int key = VK_BACK; key <= 0xFE; ++key) {
        // The either-side Shift, Ctrl and Alt duplicate their left or right
        // key, and VK_PACKET stands for injected characters, not a key.
        if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_PACKET) continue;
        if (GetAsyncKeyState(key) & 0x8000) held.push_back(static_cast<std::uint16_t>(key));
    }
    return held;
}

std::u32string Win32Desktop::keyName(std::uint16_t key) {
    // GetKeyNameTextW takes the key as a keystroke message's lParam: the
    // scan code in bits 16-23, the extended-key flag in bit 24.
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC_EX);
    if ((scan & 0xFF) == 0) return {};
    const LONG lParam = static_cast<LONG>(((scan & 0xFF) << 16) | ((scan & 0xFF00) != 0 ? (1u << 24) : 0));
    wchar_t name[64];
    const int length = GetKeyNameTextW(lParam, name, static_cast<int>(std::size(name)));
    if (length <= 0) return {};
    return fromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(name), static_cast<std::size_t>(length)));
}

std::size_t Win32Desktop::inject(const std::vector<KeyStroke>& strokes) {
    std::vector<INPUT> inputs;
    inputs.reserve(strokes.size() + 1);
    const ULONG_PTR marker = m_watch ? m_watch->marker() : 0;
    for (const KeyStroke& stroke : strokes) inputs.push_back(toInput(stroke, marker));
    if (m_watch) {
        // The barrier after the keys: the watch swallows it, and it tells
        // when the keys before it are all in their window's queue.
        INPUT barrier{};
        barrier.type = INPUT_KEYBOARD;
        barrier.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        barrier.ki.dwExtraInfo = m_watch->barrierMarker();
        inputs.push_back(barrier);
    }
    const UINT taken =
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), static_cast<int>(sizeof(INPUT)));
    if (m_watch && taken == inputs.size()) ++m_barriers;
    return std::min<std::size_t>(taken, strokes.size());
}

void Win32Desktop::pause(std::chrono::milliseconds duration) {
    // Messages other threads send to this one are delivered while waiting,
    // so that an activation which needs this thread's answer is not held up;
    // the program's own queued input waits as during any pause of the send.
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(duration.count());
    for (;;) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_SENDMESSAGE, 0);
    }
}

bool Win32Desktop::startWatch(WindowHandle target) {
    stopWatch();
    DWORD process = 0;
    GetWindowThreadProcessId(toHwnd(target), &process);
    if (process == 0) return false;
    m_watch = KeyWatch::start(process);
    return m_watch != nullptr;
}

KeysSeen Win32Desktop::waitForKeysSeen(std::size_t count, std::chrono::milliseconds limit) {
    return m_watch ? m_watch->waitFor(count, m_barriers, limit) : KeysSeen{};
}

void Win32Desktop::swallowRest() {
    if (m_watch) m_watch->swallowRest();
}

std::size_t Win32Desktop::operatorKeysHeldBack() { return m_watch ? m_watch->operatorKeysHeldBack() : 0; }

void Win32Desktop::stopWatch() {
    m_watch.reset();
    m_barriers = 0;
}

namespace {

// Polls of the target's paint made without sleeping: a batch of keys is
// usually read within a few hundred of them.
constexpr int kQuickPolls = 200;

// The window at the top left corner of `window`'s client area, where the
// pixel is invalidated: a child covering that corner would keep the update
// region empty, and the emptiness would be read as the target's paint.
HWND shownAtCorner(HWND window) {
    POINT corner{0, 0};
    for (;;) {
        const HWND child = ChildWindowFromPointEx(window, corner, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == window) return window;
        MapWindowPoints(window, child, &corner, 1);
        window = child;
    }
}

// The window whose painting shows that the keys' reader has read them: the
// focus window of the target's thread, which the keys go to, or the target
// itself when that one cannot be painted; either in the reader's thread.
// Null when none can.
HWND witnessOfReading(HWND target) {
    const DWORD thread = GetWindowThreadProcessId(target, nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const HWND focus = thread != 0 && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    const DWORD reader = focus ? GetWindowThreadProcessId(focus, nullptr) : thread;
    for (const HWND candidate : {focus, target}) {
        if (!candidate) continue;
        const HWND window = shownAtCorner(candidate);
        RECT client{};
        if (GetWindowThreadProcessId(window, nullptr) == reader && IsWindowVisible(window) &&
            !IsIconic(window) && GetClientRect(window, &client) && !IsRectEmpty(&client))
            return window;
    }
    return nullptr;
}

}  // namespace

TargetReading Win32Desktop::waitUntilRead(WindowHandle target, std::chrono::milliseconds limit) {
    // A thread is given WM_PAINT only when it has no input left in its
    // queue, so a pixel invalidated after the keys is painted only once
    // they have all been read. Never validated at once (RDW_UPDATENOW
    // would paint ahead of the input).
    const HWND window = witnessOfReading(toHwnd(target));
    if (!window) return TargetReading::CannotTell;
    RECT pixel{0, 0, 1, 1};
    if (!InvalidateRect(window, &pixel, FALSE)) return TargetReading::CannotTell;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(std::max<std::int64_t>(limit.count(), 0));
    for (int polls = 0;; ++polls) {
        if (!GetUpdateRect(window, nullptr, FALSE)) {
            return IsWindow(window) ? TargetReading::Idle : TargetReading::CannotTell;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return TargetReading::StillReading;
        // Seen soon after the paint, the window in front then tells more
        // surely whether the keys went in (see the caller): the first polls
        // only yield the processor, the later ones sleep.
        if (polls < kQuickPolls) {
            SwitchToThread();
            continue;
        }
        // Messages other threads send to this one are handled meanwhile.
        MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_SENDMESSAGE, 0);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

bool Win32Desktop::routesLate() {
    // Wine's ntdll has an export of its own; Windows' has not.
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

bool Win32Desktop::activeInItsThread(WindowHandle window) {
    const HWND handle = toHwnd(window);
    const DWORD thread = GetWindowThreadProcessId(handle, nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return thread != 0 && GetGUIThreadInfo(thread, &info) && info.hwndActive == handle;
}

}  // namespace tastalo::platform::win32

#include "delivery_checks.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/keyboard_target.h"
#include "platform/win32/utf16.h"
#include "target_process.h"

namespace tastalo::prova {
namespace {

using platform::KeyboardTarget;
using platform::Status;

std::wstring wide(std::u32string_view text) {
    const std::u16string units = platform::win32::toUtf16(text);
    return std::wstring(units.begin(), units.end());
}

// Barcodes with accents, the euro sign and a character beyond U+FFFF.
std::vector<std::u32string> barcodes(std::size_t count) {
    std::vector<std::u32string> list;
    for (std::size_t i = 1; i <= count; ++i) {
        const std::string number = std::to_string(i);
        list.push_back(U"àé€-" + std::u32string(number.begin(), number.end()) + U"-\U0001F600");
    }
    return list;
}

struct Sent {
    std::size_t barcodes = 0;  // typed, Enter included, and confirmed
    Status status;             // the first failure, if any
};

// Types like the send does: each barcode, its Enter and the confirmation,
// up to the first failure.
Sent typeList(KeyboardTarget& keyboard, const std::vector<std::u32string>& list) {
    Sent sent;
    for (const std::u32string& barcode : list) {
        Status status = keyboard.typeText(barcode);
        if (status.ok()) status = keyboard.pressEnter();
        if (status.ok()) status = keyboard.confirmDelivery();
        if (!status.ok()) {
            sent.status = status;
            return sent;
        }
        ++sent.barcodes;
    }
    return sent;
}

// How many barcodes of the list, in order, `text` holds whole with their
// Enter; nothing when what follows them is not the start of the next one.
std::size_t wholeBarcodes(const std::wstring& text, const std::vector<std::u32string>& list) {
    std::size_t at = 0;
    std::size_t whole = 0;
    for (; whole < list.size(); ++whole) {
        const std::wstring line = wide(list[whole]) + L"\r\n";
        if (text.compare(at, line.size(), line) != 0) {
            return line.compare(0, text.size() - at, text, at) == 0 ? whole : SIZE_MAX;
        }
        at += line.size();
    }
    return at == text.size() ? whole : SIZE_MAX;
}

std::wstring joined(const std::vector<std::u32string>& list) {
    std::wstring text;
    for (const std::u32string& barcode : list) text += wide(barcode) + L"\r\n";
    return text;
}

// A low-level hook of the test, installed after the backend's own and so
// called before it, that brings `window` to the front when the injected key
// numbered `atKey` (from 1) is routed.
class FrontOnKey {
public:
    FrontOnKey(HWND window, long atKey) : m_window(window), m_countdown(atKey) {
        s_current.store(this);
        m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = CreateThread(nullptr, 0, run, this, 0, &m_threadId);
        WaitForSingleObject(m_ready, 5000);
    }
    ~FrontOnKey() {
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(m_thread, 5000);
        CloseHandle(m_thread);
        CloseHandle(m_ready);
        s_current.store(nullptr);
    }
    FrontOnKey(const FrontOnKey&) = delete;
    FrontOnKey& operator=(const FrontOnKey&) = delete;

    bool installed() const { return m_installed; }

private:
    static LRESULT CALLBACK onKey(int code, WPARAM wParam, LPARAM lParam) {
        FrontOnKey* self = s_current.load();
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (code == HC_ACTION && self && (key->flags & LLKHF_INJECTED) && self->m_countdown.fetch_sub(1) == 1)
            SetForegroundWindow(self->m_window);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static DWORD WINAPI run(LPVOID parameter) {
        auto* self = static_cast<FrontOnKey*>(parameter);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, onKey, GetModuleHandleW(nullptr), 0);
        self->m_installed = hook != nullptr;
        SetEvent(self->m_ready);
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        }
        if (hook) UnhookWindowsHookEx(hook);
        return 0;
    }

    static inline std::atomic<FrontOnKey*> s_current{nullptr};
    HWND m_window;
    std::atomic<long> m_countdown;
    HANDLE m_ready = nullptr;
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
    bool m_installed = false;
};

// One send into Korvedo while something brings "Altro" to the front; checks
// that Altro received at most `racing` keys and that the count is what
// Korvedo holds whole.
void checkRound(Checks& checks, TargetProcess& korvedo, TargetProcess& altro, const std::string& name,
                const std::vector<std::u32string>& list, std::size_t racing,
                const std::function<Sent(KeyboardTarget&)>& send) {
    korvedo.clear(0);
    altro.clear(0);
    auto keyboard = platform::createKeyboardTarget();
    const Status activated = keyboard->activate(U"Korvedo");
    const Sent sent = activated.ok() ? send(*keyboard) : Sent{};
    keyboard->finish();
    // Late keys, were there any, would show up meanwhile.
    Sleep(300);
    pumpMessages();
    const std::wstring held = korvedo.text(0);
    const std::wstring other = altro.text(0);
    const std::size_t whole = wholeBarcodes(held, list);
    std::printf(
        "  %s: %zu of %zu barcodes sent (status %d), Korvedo holds %zu whole, Altro received %zu keys\n",
        name.c_str(), sent.barcodes, list.size(), sent.status.code, whole, other.size());
    // Lost while the target read a barcode's last keys: that one may be whole
    // too, and the program says so.
    const bool countRight =
        whole == sent.barcodes ||
        (sent.status.code == platform::kTargetLostFocusReading && whole == sent.barcodes + 1);
    checks.expect(activated.ok() && other.size() <= racing && countRight, name,
                  "activation " + std::to_string(activated.code) + ", sent " + std::to_string(sent.barcodes) +
                      ", whole " + std::to_string(whole) + ", Altro got " + std::to_string(other.size()));
}

}  // namespace

void checkDeliveryToSlowTarget(Checks& checks) {
    std::string error;
    // About 200 characters a second, like the slow programs seen in the field.
    const auto korvedo = TargetProcess::start({L"Korvedo"}, error, L"--read-pause 4");
    if (!checks.expect(korvedo != nullptr, "slow target: starts", error)) return;
    for (const std::size_t count : {std::size_t{3}, std::size_t{40}}) {
        korvedo->clear(0);
        const std::vector<std::u32string> list = barcodes(count);
        auto keyboard = platform::createKeyboardTarget();
        const Status activated = keyboard->activate(U"Korvedo");
        const bool watched = !keyboard->deliveryUnwatched();
        const ULONGLONG started = GetTickCount64();
        const Sent sent = activated.ok() ? typeList(*keyboard, list) : Sent{};
        const ULONGLONG took = GetTickCount64() - started;
        // Read at once, not awaited: what the calls reported sent is there.
        const std::wstring held = korvedo->text(0);
        keyboard->finish();
        std::printf("  slow target, %zu barcodes: %zu sent in %llu ms, %zu held whole\n", count,
                    sent.barcodes, took, wholeBarcodes(held, list));
        checks.expect(activated.ok() && watched && sent.status.ok() && held == joined(list),
                      "slow target: " + std::to_string(count) +
                          " barcodes are all in the window when the last call returns",
                      "watched " + std::to_string(watched) + ", status " + std::to_string(sent.status.code) +
                          " " + sent.status.detail + ", sent " + std::to_string(sent.barcodes));
    }
}

void checkOtherWindowInFront(Checks& checks) {
    std::string error;
    const auto altro = TargetProcess::start({L"Altro"}, error);
    const auto korvedo = TargetProcess::start({L"Korvedo"}, error);
    if (!checks.expect(altro && korvedo, "other window: targets start", error)) return;
    const std::vector<std::u32string> list = barcodes(40);
    std::mt19937 random(std::random_device{}());
    // Each barcode is about 30 key events with its Enter.
    std::uniform_int_distribution<long> anyKey(1, 1100);
    for (int round = 1; round <= 5; ++round) {
        const long atKey = anyKey(random);
        checkRound(checks, *korvedo, *altro,
                   "other window: in front at key " + std::to_string(atKey) + " (hook) gets no key", list, 0,
                   [&](KeyboardTarget& keyboard) {
                       FrontOnKey front(altro->window(0), atKey);
                       if (!front.installed()) return Sent{};
                       return typeList(keyboard, list);
                   });
    }
    // Another process brings its window to the front on its own clock,
    // while the send (about two seconds) is on. Brought in front just after
    // the watch let a key through and before the system queued it, it gets
    // that key: no hook closes that gap (microseconds, longer when the
    // watch's thread is held up on a busy machine). One key is allowed
    // there, and shown.
    std::uniform_int_distribution<unsigned> anyMoment(0, 1500);
    const auto longList = barcodes(1000);
    for (int round = 1; round <= 5; ++round) {
        const unsigned after = 800 + anyMoment(random);
        const auto thief =
            TargetProcess::start({L"Altro"}, error, L"--steal-after " + std::to_wstring(after));
        if (!checks.expect(thief != nullptr, "other window: stealing target starts", error)) return;
        checkRound(checks, *korvedo, *thief,
                   "other window: in front after " + std::to_string(after) +
                       " ms (other process) gets no key but one racing",
                   longList, 1, [&](KeyboardTarget& keyboard) { return typeList(keyboard, longList); });
    }
}

}  // namespace tastalo::prova

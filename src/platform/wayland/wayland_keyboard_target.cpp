#include "platform/wayland/wayland_keyboard_target.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "platform/title_match.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace tastalo::platform::wayland {

namespace {

// As on X11: a window that takes the keyboard meanwhile gets 16 keys at most.
constexpr std::size_t kKeysPerRoundtrip = 16;

Status keymapReplaced() { return failure(kKeymapReplaced, {}, "the compositor replaced the send's keymap"); }

}  // namespace

WaylandKeyboardTarget::~WaylandKeyboardTarget() {
    finish();
    handOver();
}

std::string WaylandKeyboardTarget::ownProgramName() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.stem().string();
}

Status WaylandKeyboardTarget::open() {
    if (!m_connection.isOpen()) {
        m_keymap.reset();
        m_shiftDown = false;
    }
    return m_connection.open();
}

Status WaylandKeyboardTarget::activate(std::u32string_view title) {
    finish();
    if (Status opened = open(); !opened.ok()) return opened;
    if (Status answered = m_connection.roundtrip(); !answered.ok()) return answered;
    ToplevelList& toplevels = m_connection.toplevels();
    const std::vector<WindowCandidate> candidates = toplevels.candidates(m_options.ownAppId);
    const auto chosen = chooseWindow(candidates, title);
    if (!chosen) return failure(kTargetWindowMissing, std::u32string(title), "no such window");
    const ToplevelList::Toplevel& window = toplevels.at(candidates[*chosen].id);

    zwlr_foreign_toplevel_handle_v1_activate(window.handle, m_connection.seat());
    const auto deadline = std::chrono::steady_clock::now() + m_options.activationTimeout;
    for (;;) {
        if (Status answered = m_connection.roundtrip(); !answered.ok()) return answered;
        if (window.closed) return failure(kTargetWindowMissing, std::u32string(title), "closed");
        if (window.activated) break;
        if (std::chrono::steady_clock::now() >= deadline)
            return failure(kTargetNotActivated, candidates[*chosen].title, "did not become active");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_target = &window;
    m_focusLost = false;
    m_keymapReplaced = false;
    m_backlogKnown = m_options.paceToReaders && m_backlog.start(wl_display_get_fd(m_connection.display()));
    return Status::success();
}

std::optional<TitleMatch> WaylandKeyboardTarget::lookUp(std::u32string_view title) {
    if (!open().ok() || !m_connection.roundtrip().ok()) return std::nullopt;
    return titleMatch(m_connection.toplevels().candidates(m_options.ownAppId), title);
}

void WaylandKeyboardTarget::expectTexts(const std::vector<std::u32string>& texts) {
    m_expected.clear();
    for (const auto& text : texts) {
        for (const char32_t c : text) {
            if (isTypeable(c)) m_expected.push_back(c);
        }
    }
    // Changing the keymap once, before the first key, keeps X11 programs
    // from ever reading a key with a stale one in the middle of the send.
    if (m_target) (void)keymapFor(m_expected);
}

bool WaylandKeyboardTarget::targetHasFocus() {
    if (!m_target || m_focusLost) return false;
    if (!m_connection.poll().ok() || !m_connection.isOpen() || !m_target->activated || m_target->closed) {
        m_focusLost = true;
        return false;
    }
    return true;
}

Status WaylandKeyboardTarget::lostFocus() const {
    return failure(kTargetLostFocus, {}, "the window lost the activated state");
}

Status WaylandKeyboardTarget::focusLoss() {
    const auto deadline = std::chrono::steady_clock::now() + m_options.closeGrace;
    while (m_target && !m_target->closed && std::chrono::steady_clock::now() < deadline) {
        if (!m_connection.roundtrip().ok()) break;
        if (!m_target->closed) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (m_target && m_target->closed) return failure(kTargetWindowMissing, {}, "the window closed");
    return lostFocus();
}

Status WaylandKeyboardTarget::keymapKept() {
    // The last keymap the seat announced is the one our last keys were read
    // with: typing makes our keyboard the seat's, which announces its keymap.
    if (m_keymapReplaced) return keymapReplaced();
    if (!m_keymap || m_connection.keymapCount() == m_keymapSeen) return Status::success();
    m_keymapSeen = m_connection.keymapCount();
    if (m_keymap->typesAlike(m_connection.lastKeymap())) return Status::success();
    // The compositor's layout stays: ours goes up again with the next send.
    m_keymap.reset();
    m_keymapReplaced = true;
    return keymapReplaced();
}

bool WaylandKeyboardTarget::deliveryUnwatched() const { return m_target && !m_backlogKnown; }

Status WaylandKeyboardTarget::catchUp(bool drained) {
    if (!m_backlogKnown) return Status::success();
    // Given up only when the program reads nothing at all for a while: a
    // slow one that keeps reading is waited for.
    auto lastProgress = std::chrono::steady_clock::now();
    std::uint32_t least = UINT32_MAX;
    for (;;) {
        std::uint32_t excess = 0;
        switch (m_backlog.check(drained, &excess)) {
            case ClientBacklog::State::Read: return Status::success();
            case ClientBacklog::State::Gone:
                // Ours only if the target's window closes too: another
                // program may have quit meanwhile.
                if (Status why = focusLoss(); why.code == kTargetWindowMissing) return why;
                continue;
            case ClientBacklog::State::Unknown: m_backlogKnown = false; return Status::success();
            case ClientBacklog::State::Behind: break;
        }
        const auto now = std::chrono::steady_clock::now();
        if (excess < least) {
            least = excess;
            lastProgress = now;
        } else if (now - lastProgress >= m_options.readTimeout) {
            return failure(kKeysNotTaken, {},
                           "a program read none of its " + std::to_string(excess) +
                               " bytes of pending keys for " + std::to_string(m_options.readTimeout.count()) +
                               " ms");
        }
        if (Status answered = m_connection.poll(); !answered.ok()) return answered;
        if (m_target && m_target->closed) return focusLoss();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

Status WaylandKeyboardTarget::keymapFor(std::u32string_view text) {
    if (m_keymap && std::all_of(text.begin(), text.end(), [&](char32_t c) { return m_keymap->holds(c); }))
        return Status::success();
    // The keymap only grows: characters keep their keys, so an X11 program
    // still reading earlier keys translates them right whatever it reads
    // them with. It holds the whole send if it fits, else this text.
    const std::string& seat = m_connection.seatKeymap();
    const SendKeymap* previous = m_keymap ? &*m_keymap : nullptr;
    SendKeymap keymap;
    if (SendKeymap::build(seat, m_expected + std::u32string(text), previous, keymap).ok() ||
        SendKeymap::build(seat, text, previous, keymap).ok())
        return upload(std::move(keymap));
    // Out of keys: start over, once the keys typed so far have had time to be
    // read with the keymap they were typed with.
    if (Status built = SendKeymap::build(seat, text, nullptr, keymap); !built.ok()) return built;
    if (previous) {
        if (Status answered = m_connection.roundtrip(); !answered.ok()) return answered;
        std::this_thread::sleep_for(m_options.keymapReplaceSettle);
    }
    return upload(std::move(keymap));
}

Status WaylandKeyboardTarget::sendKeymap(const std::string& text) {
    const int fd = memfd_create("tastalo-keymap", MFD_CLOEXEC);
    if (fd < 0) return failure(kInputRefused, {}, "memfd_create failed");
    const bool written = ::write(fd, text.c_str(), text.size() + 1) == static_cast<ssize_t>(text.size() + 1);
    if (written) {
        zwp_virtual_keyboard_v1_keymap(m_connection.keyboard(), WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       static_cast<std::uint32_t>(text.size() + 1));
    }
    ::close(fd);
    if (!written) return failure(kInputRefused, {}, "cannot write the keymap");
    // A new keymap starts with no modifier held.
    zwp_virtual_keyboard_v1_modifiers(m_connection.keyboard(), 0, 0, 0, 0);
    m_shiftDown = false;
    // A refused keymap shows here, before any key.
    return m_connection.roundtrip();
}

Status WaylandKeyboardTarget::upload(SendKeymap keymap) {
    if (Status sent = sendKeymap(keymap.text()); !sent.ok()) return sent;
    m_keymap = std::move(keymap);
    m_keymapSeen = m_connection.keymapCount();
    std::this_thread::sleep_for(m_options.keymapSettle);
    if (m_firstKeymap && !m_connection.seatHadKeyboard())
        std::this_thread::sleep_for(m_options.firstKeyboardSettle);
    m_firstKeymap = false;
    return Status::success();
}

void WaylandKeyboardTarget::handOver() {
    // The seat, and XWayland with it, serve the send's keymap until the
    // operator's next key. Not given back at the end of each send: an X11
    // program that reads its queued keys late translates them with the
    // keymap it fetches then, and off the operator's layout they would come
    // out wrong. Given back before another backend types: the X11 one reads
    // the keymap XWayland serves.
    if (!m_keymap || !m_connection.isOpen()) return;
    std::string layout;
    if (!SendKeymap::operatorLayout(m_connection.seatKeymap(), layout).ok()) return;
    if (m_keymap->offLayout()) std::this_thread::sleep_for(m_options.keymapReplaceSettle);
    m_keymap.reset();
    (void)sendKeymap(layout);
    wl_display_flush(m_connection.display());
}

std::uint32_t WaylandKeyboardTarget::nextTime() {
    // Strictly increasing: programs take a press at the time of the release
    // before it for the keyboard's auto-repeat.
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    m_time = std::max(static_cast<std::uint32_t>(now.count()), m_time + 1);
    return m_time;
}

void WaylandKeyboardTarget::holdShift(bool down) {
    if (down == m_shiftDown || !m_keymap) return;
    zwp_virtual_keyboard_v1_modifiers(m_connection.keyboard(), down ? m_keymap->shiftMask() : 0, 0, 0, 0);
    m_shiftDown = down;
}

Status WaylandKeyboardTarget::type(std::u32string_view text) {
    m_barcodeArrived = false;
    if (!m_target) return failure(kTargetWindowMissing, {}, "no window activated");
    if (!targetHasFocus()) return focusLoss();
    // Judged only once the compositor has handled keys of ours: another
    // keyboard that typed in between announced its own keymap, and ours
    // comes back with our first key.
    if (m_keymapReplaced) return keymapReplaced();
    if (Status ready = keymapFor(text); !ready.ok()) return ready;
    for (const char32_t c : text) {
        if (m_keysSinceRoundtrip >= kKeysPerRoundtrip) {
            m_keysSinceRoundtrip = 0;
            if (Status answered = m_connection.roundtrip(); !answered.ok()) return answered;
            Status fine = keymapKept();
            if (fine.ok()) fine = catchUp(false);
            if (!fine.ok()) {
                holdShift(false);
                return fine;
            }
            if (!m_backlogKnown && m_options.paceToReaders)
                std::this_thread::sleep_for(m_options.unwatchedPause);
        }
        if (!targetHasFocus()) {
            holdShift(false);
            return focusLoss();
        }
        const KeyStroke stroke = m_keymap->strokeFor(c);
        holdShift(stroke.shift);
        zwp_virtual_keyboard_v1_key(m_connection.keyboard(), nextTime(), stroke.code,
                                    WL_KEYBOARD_KEY_STATE_PRESSED);
        zwp_virtual_keyboard_v1_key(m_connection.keyboard(), nextTime(), stroke.code,
                                    WL_KEYBOARD_KEY_STATE_RELEASED);
        ++m_keysSinceRoundtrip;
    }
    holdShift(false);
    wl_display_flush(m_connection.display());
    return Status::success();
}

Status WaylandKeyboardTarget::typeText(std::u32string_view text) {
    if (Status typeable = checkTypeable(text); !typeable.ok()) return typeable;
    return type(text);
}

Status WaylandKeyboardTarget::pressEnter() {
    m_barcodeArrived = false;
    // No Enter after a text typed with a keymap other than the send's: the
    // compositor has handled the text's keys, and announced any change of
    // keymap before them, once it answers.
    if (m_target) {
        m_keysSinceRoundtrip = 0;
        if (Status answered = m_connection.roundtrip(); !answered.ok()) return answered;
        if (Status kept = keymapKept(); !kept.ok()) return kept;
    }
    if (Status typed = type(U"\r"); !typed.ok()) return typed;
    // Whether every key went in while the target held the keyboard is known
    // only now: once the focus has moved on, it can no longer be told.
    m_keysSinceRoundtrip = 0;
    if (Status answered = m_connection.roundtrip(); !answered.ok()) return answered;
    m_barcodeArrived = targetHasFocus();
    // Routed is not yet received: the barcode counts once the program has
    // read it. One that closes first has lost it.
    if (m_barcodeArrived) {
        if (Status read = catchUp(true); !read.ok()) {
            m_barcodeArrived = false;
            return read;
        }
        if (m_target->closed) {
            m_barcodeArrived = false;
            return focusLoss();
        }
    }
    return Status::success();
}

Status WaylandKeyboardTarget::confirmDelivery() {
    if (!m_target) return failure(kTargetWindowMissing, {}, "no window activated");
    m_keysSinceRoundtrip = 0;
    if (Status answered = m_connection.roundtrip(); !answered.ok()) return answered;
    // The focus may have left only after the Enter went in: the barcode
    // arrived whole, and the next text stops.
    return targetHasFocus() || m_barcodeArrived ? Status::success() : focusLoss();
}

void WaylandKeyboardTarget::finish() {
    if (m_connection.isOpen()) {
        holdShift(false);
        wl_display_flush(m_connection.display());
    }
    m_target = nullptr;
    m_expected.clear();
}

}  // namespace tastalo::platform::wayland

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/title_match.h"

// The keystroke and window services the send needs, and nothing more. Plain
// C++ on purpose: no Qt, no system header, so each backend (X11, Wayland,
// Windows) compiles on its own and nothing above this folder sees a window-system type.
namespace tastalo::platform {

// Explicit result of every call: code 0 is success. A failure carries the
// facts the operator's message is made of, never the message itself: that is
// worded above this layer, the same whatever the backend.
struct Status {
    std::int32_t code = 0;
    // What the failure is about: the window's title, or the character that
    // cannot be typed.
    std::u32string subject;
    // kCharacterNotTypeable: the character's place in the text, from 1.
    std::size_t position = 0;
    // The system's own words (an X error, the keys it took), untranslated;
    // may be empty.
    std::string detail;

    bool ok() const noexcept { return code == 0; }
    static Status success() { return {}; }
};

inline Status failure(std::int32_t code, std::u32string subject = {}, std::string detail = {}) {
    return Status{code, std::move(subject), 0, std::move(detail)};
}

// No window has the title (in a Wayland session: kTargetOutOfReach instead).
inline constexpr std::int32_t kTargetWindowMissing = 5;

// The backends' other failure codes, one table for all, clear of the codes of
// the program's other failure sources:
// - no display, or one without the needed extensions;
inline constexpr std::int32_t kKeyboardUnavailable = 1001;
// - a character that cannot be typed (a control character, or one no key
//   can produce);
inline constexpr std::int32_t kCharacterNotTypeable = 1002;
// - another window took the keyboard;
inline constexpr std::int32_t kTargetLostFocus = 1003;
// - modifier keys held that cannot be released;
inline constexpr std::int32_t kModifiersHeld = 1004;
// - the system refused or dropped keystrokes, or a keymap change;
inline constexpr std::int32_t kInputRefused = 1005;
// - a window the system would not let us type into;
inline constexpr std::int32_t kTargetAboveThisProcess = 1006;
// - a window has the title, the system did not bring it to the front;
inline constexpr std::int32_t kTargetNotActivated = 1007;
// - in a Wayland session the keystrokes reach X11 (XWayland) windows only: no
//   X11 window has the title, or (empty subject) there is no X display at all.
inline constexpr std::int32_t kTargetOutOfReach = 1008;
// - keys sent that the target was not seen to take within the time allowed
//   (the system did not route them, or the target did not read them);
//   `detail` says which.
inline constexpr std::int32_t kKeysNotTaken = 1009;
// - another window came to the front while the target was reading the last
//   keys sent, and no one can tell whether it read them all before: those
//   keys may have gone in whole, or in part.
inline constexpr std::int32_t kTargetLostFocusReading = 1010;
// - the system changed the keyboard layout the keys are read with during
//   the send (a layout switch, a reloaded configuration): the text being
//   typed may have come out wrong, and gets no Enter.
inline constexpr std::int32_t kKeymapReplaced = 1011;
// - the setting TASTALO_BACKEND=x11 keeps the keystrokes to X11 windows, and
//   no X11 window has the title (empty subject: there is no X display).
inline constexpr std::int32_t kOutOfReachBySetting = 1012;
// - keys still held on the operator's keyboard when the send was to start
//   (after a short wait for their release): nothing typed. `subject` names
//   them, separated by ", ".
inline constexpr std::int32_t kKeysHeld = 1013;
// - the operator pressed a key during the send, where the system does not
//   let it be held back: it went to the target among the barcode's keys, so
//   the barcode being typed got no Enter. `subject` names the key.
inline constexpr std::int32_t kOperatorKeyPressed = 1014;

// What typeText() answers for a text with a character it refuses (see
// isTypeable()): kCharacterNotTypeable naming the first one and its place;
// success for a text it accepts.
inline Status checkTypeable(std::u32string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isTypeable(text[i])) continue;
        Status untypeable = failure(kCharacterNotTypeable, std::u32string(1, text[i]));
        untypeable.position = i + 1;
        return untypeable;
    }
    return Status::success();
}

// kKeysHeld naming each key `nameOf` gives for the keys held, in order.
template <typename Keys, typename NameOf>
Status keysHeld(const Keys& keys, NameOf nameOf) {
    std::u32string names;
    for (const auto& key : keys) {
        if (!names.empty()) names += U", ";
        names += nameOf(key);
    }
    return failure(kKeysHeld, std::move(names));
}

class KeyboardTarget {
public:
    virtual ~KeyboardTarget() = default;

    // Finds the window whose title equals `title` without regard to case, or
    // failing that one whose title begins with it (several: the most recently
    // active), brings it to the front and waits until it really is active.
    // No such window gives kTargetWindowMissing (kTargetOutOfReach where the
    // backend cannot see every window), an activation that does not take
    // effect kTargetNotActivated. On success the window becomes the target of the
    // calls below, until finish().
    virtual Status activate(std::u32string_view title) = 0;

    // How well the window activate(title) would choose matches the title,
    // without activating anything; nothing if the backend cannot look.
    virtual std::optional<TitleMatch> lookUp(std::u32string_view title) {
        (void)title;
        return std::nullopt;
    }

    // The texts the send will type after this activate(), in order, each to
    // be followed by pressEnter(). Optional: a backend that has to prepare
    // keys for characters can then prepare them for the whole send at once.
    virtual void expectTexts(const std::vector<std::u32string>& texts) { (void)texts; }

    // True while the activated window has held the keyboard focus without a
    // break since activate(). Once it has lost it, typing fails with
    // kTargetLostFocus until the next activate().
    virtual bool targetHasFocus() = 0;

    // Why targetHasFocus() answered false: kTargetLostFocus, or
    // kTargetWindowMissing where the backend saw the window close.
    virtual Status focusLoss() { return failure(kTargetLostFocus); }

    // Types every character of `text` as itself (no key language); Tab is the
    // Tab key. Control characters other than Tab are refused. Checks the
    // focus at least every 16 keys, so a window that takes it meanwhile gets
    // 16 keys at most; the last keys may still be on their way on return.
    virtual Status typeText(std::u32string_view text) = 0;

    // The Return key; it too may still be on its way on return.
    virtual Status pressEnter() = 0;

    // True when the system refused what watches this send's keys (Windows: a
    // policy or a desktop that forbids keyboard hooks): keys are then sent as
    // before and their arrival judged by the window in front alone. Valid
    // from activate() to finish().
    virtual bool deliveryUnwatched() const { return false; }

    // How many keys the operator pressed during the send that the system let
    // this backend hold back (Windows): they went nowhere. Valid from
    // activate() to the next activate().
    virtual std::size_t operatorKeysHeldBack() const { return 0; }

    // Waits until the system has handled every key sent so far. Success
    // means that, as far as the system can tell, each of them went into the
    // target; kTargetLostFocus that some did not.
    virtual Status confirmDelivery() = 0;

    // The same for an Enter with more texts to come after it, where the
    // system lets the answer travel while the next text is typed (X11):
    // asked for, not waited for. A failure it brings is then reported by a
    // later call, and entersDelivered() counts the Enters confirmed.
    virtual Status requestDelivery() { return confirmDelivery(); }

    // How many Enters since activate() the system has shown to have arrived
    // whole, each with every key before it; exact once a call has failed
    // (answers still travelling are waited for here). Nothing where every
    // Enter is confirmed by the call for it: the caller counts those.
    virtual std::optional<std::size_t> entersDelivered() { return std::nullopt; }

    // Ends the send: gives back any key binding or lock state borrowed for it.
    // Safe to call more than once, and after a failure.
    virtual void finish() = 0;

    // Another backend of this program is about to type: gives back what this
    // one keeps between sends (the Wayland keymap). Also done on destruction.
    virtual void handOver() {}
};

// The backend of the system the program was built for.
std::unique_ptr<KeyboardTarget> createKeyboardTarget();

}  // namespace tastalo::platform

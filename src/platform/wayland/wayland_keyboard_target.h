#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/keyboard_target.h"
#include "platform/wayland/client_backlog.h"
#include "platform/wayland/send_keymap.h"
#include "platform/wayland/toplevel_list.h"
#include "platform/wayland/wayland_connection.h"

namespace tastalo::platform::wayland {

// The keystroke and window services on a wlroots compositor (sway and
// others): foreign-toplevel management finds, activates and watches the
// target; a virtual keyboard, with a keymap made for the send, types.
class WaylandKeyboardTarget final : public KeyboardTarget {
public:
    struct Options {
        std::chrono::milliseconds activationTimeout{2000};
        // X11 programs under XWayland read keys with the old keymap for a
        // moment after a change: a digit could come out as another one.
        std::chrono::milliseconds keymapSettle{150};
        // They may even read keys typed earlier with the keymap that replaced
        // theirs: before a keymap that moves characters to other keys (when
        // a send holds more characters off the layout than there are free
        // keys, and when the operator's layout comes back after a send with
        // such characters), the keys typed so far get this long to be read.
        std::chrono::milliseconds keymapReplaceSettle{1000};
        // On a seat that had no keyboard before ours, programs bind to it
        // only once it appears; keys sent before are lost.
        std::chrono::milliseconds firstKeyboardSettle{500};
        // How long a program may read none of its pending keys before the
        // send gives up on it (a busy program catches up well within it).
        std::chrono::milliseconds readTimeout{5000};
        // A program that quits often hides its window first: it goes
        // inactive, and closes this much later at most.
        std::chrono::milliseconds closeGrace{300};
        // Off only to measure what a compositor does to a program that
        // falls behind (bench/wayland).
        bool paceToReaders = true;
        // Where the kernel does not show what programs have left unread:
        // the pause after every 16 keys, which keeps within what the
        // slowest program measured reads.
        std::chrono::milliseconds unwatchedPause{40};
        // Our own windows are never a target.
        std::string ownAppId = ownProgramName();
    };

    WaylandKeyboardTarget() : WaylandKeyboardTarget(Options{}) {}
    explicit WaylandKeyboardTarget(Options options) : m_options(std::move(options)) {}
    ~WaylandKeyboardTarget() override;

    Status activate(std::u32string_view title) override;
    std::optional<TitleMatch> lookUp(std::u32string_view title) override;
    void expectTexts(const std::vector<std::u32string>& texts) override;
    bool targetHasFocus() override;
    Status focusLoss() override;
    Status typeText(std::u32string_view text) override;
    Status pressEnter() override;
    Status confirmDelivery() override;
    bool deliveryUnwatched() const override;
    void finish() override;
    void handOver() override;

    // The executable's file name, as compositors show it for Qt programs.
    static std::string ownProgramName();

private:
    Status open();
    Status keymapFor(std::u32string_view text);
    Status sendKeymap(const std::string& text);
    Status upload(SendKeymap keymap);
    Status type(std::u32string_view text);
    void holdShift(bool down);
    std::uint32_t nextTime();
    Status lostFocus() const;
    Status catchUp(bool drained);
    Status keymapKept();

    Options m_options;
    WaylandConnection m_connection;
    std::optional<SendKeymap> m_keymap;
    // The seat's keymap announcements seen; once one shows that the
    // compositor replaced ours, nothing more is typed until the next send.
    std::uint64_t m_keymapSeen = 0;
    bool m_keymapReplaced = false;
    bool m_firstKeymap = true;
    std::u32string m_expected;
    const ToplevelList::Toplevel* m_target = nullptr;
    bool m_focusLost = false;
    // The last Enter went in, and every key before it, while the target held
    // the keyboard.
    bool m_barcodeArrived = false;
    bool m_shiftDown = false;
    std::uint32_t m_time = 0;
    std::size_t m_keysSinceRoundtrip = 0;
    // What the send's keys have left unread in the programs' connections:
    // a compositor drops a program whose connection fills up.
    ClientBacklog m_backlog;
    bool m_backlogKnown = false;
};

}  // namespace tastalo::platform::wayland

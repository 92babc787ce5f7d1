#include "platform/x11/keyboard_session.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <thread>

#include "platform/keyboard_target.h"
#include "platform/x11/keymap_reader.h"

namespace tastalo::platform::x11 {

namespace {

bool keyIsDown(const char keys[32], int keycode) { return (keys[keycode / 8] >> (keycode % 8)) & 1; }

}  // namespace

void KeyboardSession::begin(::Window target) {
    end();
    m_connection.clearErrors();
    m_target = target;
}

void KeyboardSession::expect(std::vector<std::u32string> texts) {
    if (m_planner)
        m_planner->expect(texts);
    else
        m_expected = std::move(texts);
}

Status KeyboardSession::type(std::u32string_view text) {
    if (text.empty()) return Status::success();
    // Keys of earlier calls are only flushed; a refusal of theirs shows up
    // with the next reply and stops the send here.
    if (m_connection.hasError()) return serverRefused();
    if (!m_guard.stillHeld()) return lostFocus();
    if (Status pressed = operatorKeys(); !pressed.ok()) return pressed;
    if (Status prepared = prepareKeyboard(); !prepared.ok()) {
        // A modifier that will not come up mid-send is the operator's: say
        // which key they pressed, once the server has reported it.
        if (prepared.code == kModifiersHeld) {
            XSync(m_connection.display(), False);
            if (Status pressed = operatorKeys(); !pressed.ok()) return pressed;
        }
        return prepared;
    }
    if (text == U"\r") {
        // The barcode is whole only if all its keys went in and nothing of
        // the operator's came among them: then, and only then, its Return.
        if (!confirmAll()) return lostFocus();
        if (Status pressed = operatorKeys(); !pressed.ok()) return pressed;
    }
    KeyPlanner::Plan plan = m_planner->plan(text);
    if (plan.untypeable) {
        const char32_t c = *plan.untypeable;
        Status untypeable = failure(kCharacterNotTypeable, std::u32string(1, c));
        untypeable.position = text.find(c) + 1;
        return untypeable;
    }
    if (Status typed = run(plan.steps); !typed.ok()) return typed;
    if (text == U"\r") {
        m_enters.push_back({m_lastKeySerial, std::move(m_keySerials)});
        m_keySerials.clear();
    }
    // The answer the next Return or confirmation waits for, asked now: it
    // travels while the caller goes on.
    if (m_keysSinceQuestion > 0) askFocus();
    XFlush(m_connection.display());
    return Status::success();
}

Status KeyboardSession::confirmDelivery() {
    const bool held = confirmAll();
    if (m_connection.hasError()) return serverRefused();
    if (m_enterLost) return *m_enterLost;
    // Keys after the last Return: the focus may have left only after the
    // last of them went in, or left and
    // come back with none of them sent meanwhile: then the text arrived
    // whole, and the next call stops.
    if (!held && !m_guard.reachedAll(m_keySerials)) return lostFocus();
    // A key of the operator's handled before our last one went in with them.
    if (const auto press = m_operatorKeys.firstPress(); press && press->serial < m_lastKeySerial)
        return failure(kOperatorKeyPressed, m_operatorKeys.name(press->keycode));
    m_keySerials.clear();
    return Status::success();
}

Status KeyboardSession::requestDelivery() {
    if (m_connection.hasError()) return serverRefused();
    if (m_enterLost) return *m_enterLost;
    return Status::success();
}

std::size_t KeyboardSession::entersDelivered() {
    if (!m_enters.empty()) confirmAll();
    return m_entersDelivered;
}

void KeyboardSession::countEnters() {
    const auto press = m_operatorKeys.firstPress();
    while (!m_enters.empty() && m_enters.front().keys.back() < m_guard.answeredUpTo()) {
        const SentEnter& enter = m_enters.front();
        // Whole: every key of its barcode, the Return included, went to the
        // target, and no key of the operator's came before the Return.
        if (!m_enterLost && press && press->serial < enter.serial)
            m_enterLost = failure(kOperatorKeyPressed, m_operatorKeys.name(press->keycode));
        if (!m_enterLost && !m_guard.reachedAll(enter.keys)) m_enterLost = lostFocus();
        if (!m_enterLost) ++m_entersDelivered;
        m_enters.pop_front();
    }
}

Status KeyboardSession::lostFocus() { return failure(kTargetLostFocus); }

Status KeyboardSession::roomForKey() {
    // Every key past the last answer belongs to an open question or to the
    // chunk being sent, smaller than the bound: the loop always has one.
    while (m_unconfirmedKeys >= kKeysInFlight && !m_keysPerQuestion.empty()) {
        const bool held = m_guard.readOldest();
        countEnters();
        if (!held) return lostFocus();
        m_unconfirmedKeys -= m_keysPerQuestion.front();
        m_keysPerQuestion.pop_front();
        if (Status pressed = operatorKeys(); !pressed.ok()) return pressed;
    }
    return Status::success();
}

void KeyboardSession::keySent() {
    ++m_unconfirmedKeys;
    if (++m_keysSinceQuestion == kKeysPerQuestion) askFocus();
}

void KeyboardSession::askFocus() {
    m_guard.ask();
    m_keysPerQuestion.push_back(m_keysSinceQuestion);
    m_keysSinceQuestion = 0;
}

bool KeyboardSession::confirmAll() {
    m_unconfirmedKeys = 0;
    m_keysPerQuestion.clear();
    m_keysSinceQuestion = 0;
    const bool held = m_guard.confirm();
    countEnters();
    return held;
}

Status KeyboardSession::operatorKeys() {
    if (const auto press = m_operatorKeys.firstPress())
        return failure(kOperatorKeyPressed, m_operatorKeys.name(press->keycode));
    return Status::success();
}

Status KeyboardSession::serverRefused() {
    Status refused = failure(kInputRefused, {}, m_connection.errorText());
    m_connection.clearErrors();
    return refused;
}

Status KeyboardSession::prepareKeyboard() {
    Display* display = m_connection.display();
    if (m_planner && !stateMayHaveChanged()) return Status::success();
    if (!m_planner) {
        alignXTestKeymap();
        // Keys down on our device alone were left by another XTest client:
        // no finger holds them, and each would join the keys we type.
        for (unsigned int keycode : m_operatorKeys.heldByXTestOnly())
            key(static_cast<std::uint8_t>(keycode), false);
    }
    if (!m_watchingState) {
        // From now on the server reports every change of modifiers or group,
        // so that a call asks it only when something did change.
        XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify, XkbAllStateComponentsMask,
                              XkbModifierStateMask | XkbGroupStateMask);
        m_watchingState = true;
    }
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    if (Status cleared = clearModifierState(state); !cleared.ok()) return cleared;
    if (!m_planner || state.group != m_group) {
        const KeymapSnapshot keymap = readKeymap(display, state.group);
        if (keymap.keys.empty()) return failure(kKeyboardUnavailable, {}, "cannot read the keymap");
        if (m_planner) {
            m_planner->reload(keymap);
        } else {
            m_planner.emplace(keymap);
            m_planner->expect(m_expected);
            m_expected.clear();
        }
        m_group = state.group;
        m_events.setShiftKeycode(keymap.shiftKeycode);
    }
    return Status::success();
}

namespace {

// The keyboard XTest types with (a slave of the core keyboard of its own),
// when the server is XWayland, whose devices are named after it.
std::optional<XID> xwaylandXTestKeyboard(Display* display) {
    int count = 0;
    XDeviceInfo* devices = XListInputDevices(display, &count);
    std::optional<XID> xtest;
    bool xwayland = false;
    for (int i = 0; i < count; ++i) {
        const std::string_view name = devices[i].name ? devices[i].name : "";
        if (devices[i].use == IsXExtensionKeyboard && name.ends_with("XTEST keyboard")) xtest = devices[i].id;
        if (name.starts_with("xwayland-")) xwayland = true;
    }
    if (devices) XFreeDeviceList(devices);
    return xwayland ? xtest : std::nullopt;
}

// Whether two keyboards give every keycode the same keysyms.
bool sameKeysyms(Display* display, unsigned int device) {
    XkbDescPtr core = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    XkbDescPtr other = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, device);
    bool same = core && other && core->min_key_code == other->min_key_code &&
                core->max_key_code == other->max_key_code;
    for (int key = core ? core->min_key_code : 1; same && key <= core->max_key_code; ++key) {
        const int symbols = XkbKeyNumSyms(core, key);
        same = symbols == XkbKeyNumSyms(other, key) &&
               XkbKeyNumGroups(core, key) == XkbKeyNumGroups(other, key) &&
               std::equal(XkbKeySymsPtr(core, key), XkbKeySymsPtr(core, key) + symbols,
                          XkbKeySymsPtr(other, key));
    }
    if (core) XkbFreeKeyboard(core, 0, True);
    if (other) XkbFreeKeyboard(other, 0, True);
    return same;
}

}  // namespace

void KeyboardSession::alignXTestKeymap() {
    // The server reads keys with the keymap of the device that sent the
    // last one, and XWayland gives the XTest device a keymap of its own
    // (XKB's default layout), not the compositor's: keys planned with the
    // operator's Italian layout came out as other characters ('-' as '/'),
    // and after the send every program went on reading keys with the wrong
    // keymap until the operator's next key. Where the two differ, the
    // operator's keys are written to every keyboard of the core one, ours
    // included; Xwayland takes this core request where it refuses XKB's.
    // Only there: the compositor gives each keyboard its keymap again at its
    // next key, whereas on an X server of its own a keyboard keeps what is
    // written to it, and one with a layout of its own would lose it.
    Display* display = m_connection.display();
    const std::optional<XID> xtest = xwaylandXTestKeyboard(display);
    if (!xtest || sameKeysyms(display, static_cast<unsigned int>(*xtest))) return;
    int first = 0, last = 0, width = 0;
    XDisplayKeycodes(display, &first, &last);
    KeySym* symbols = XGetKeyboardMapping(display, static_cast<KeyCode>(first), last - first + 1, &width);
    if (!symbols) return;
    XChangeKeyboardMapping(display, first, width, symbols, last - first + 1);
    XFree(symbols);
    XSync(display, False);
}

bool KeyboardSession::stateMayHaveChanged() {
    // Our own Shift shows up here too; whatever the last report says other
    // than "no modifier, same group" is checked with the server.
    bool changed = false;
    XEvent event;
    while (XCheckTypedEvent(m_connection.display(), m_connection.xkbEventBase(), &event)) {
        const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
        if (xkb.any.xkb_type != XkbStateNotify) continue;
        changed = xkb.state.mods != 0 || xkb.state.group != m_group;
    }
    return changed;
}

Status KeyboardSession::clearModifierState(XkbStateRec& state) {
    Display* display = m_connection.display();
    // Caps Lock, Num Lock and the like change what a key types: off for the
    // send, back on in end().
    if (state.locked_mods != 0) {
        m_unlockedModifiers |= state.locked_mods;
        XkbLockModifiers(display, XkbUseCoreKbd, state.locked_mods, 0);
    }
    if (state.latched_mods != 0) XkbLatchModifiers(display, XkbUseCoreKbd, state.latched_mods, 0);
    if (state.base_mods != 0) releaseHeldModifiers();
    if (state.locked_mods != 0 || state.latched_mods != 0 || state.base_mods != 0) {
        XkbGetState(display, XkbUseCoreKbd, &state);
        if (state.mods != 0) {
            return failure(kModifiersHeld);
        }
    }
    return Status::success();
}

void KeyboardSession::releaseHeldModifiers() {
    // Only what our own device holds comes up this way, and it is never
    // pressed again: a key the operator holds stays down whatever XTest says
    // (and then typing stops), and pressing it again at the end would leave
    // it down after the operator has let go.
    Display* display = m_connection.display();
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map) return;
    char down[32] = {};
    XQueryKeymap(display, down);
    std::vector<std::uint8_t> released;
    for (int i = 0; i < 8 * map->max_keypermod; ++i) {
        const int keycode = map->modifiermap[i];
        if (keycode == 0 || !keyIsDown(down, keycode)) continue;
        if (std::find(released.begin(), released.end(), keycode) != released.end()) continue;
        key(static_cast<std::uint8_t>(keycode), false);
        released.push_back(static_cast<std::uint8_t>(keycode));
    }
    XFreeModifiermap(map);
}

Status KeyboardSession::run(const std::vector<KeyStep>& steps) {
    std::vector<KeyEvent> events;
    for (const KeyStep& step : steps) {
        if (step.kind == KeyStep::Kind::Bind) {
            if (Status bound = bind(step); !bound.ok()) return stopTyping(bound);
            continue;
        }
        if (Status room = roomForKey(); !room.ok()) return stopTyping(room);
        if (m_keysAhead >= kKeysAheadOfTarget && m_spareKeymap.changed() && targetAnswers()) {
            m_ping.roundTrip(m_target, m_timing.settleTimeout);
            m_keysAhead = 0;
        }
        events.clear();
        m_events.stroke(step.keycode, step.shift, events);
        send(events, step.keycode);
        keySent();
        ++m_keysAhead;
    }
    releaseShift();
    return Status::success();
}

void KeyboardSession::releaseShift() {
    std::vector<KeyEvent> events;
    m_events.releaseShift(events);
    send(events);
}

// A text cut short leaves no Shift down behind it.
Status KeyboardSession::stopTyping(Status reason) {
    releaseShift();
    XFlush(m_connection.display());
    return reason;
}

Status KeyboardSession::bind(const KeyStep& step) {
    // Keycodes that carried other characters change only once the target
    // has read them all. A target that answers pings also catches up before
    // its first borrowed key, however far a list typed before left it
    // behind: from there on it is never kKeysAheadOfTarget keys behind.
    if (step.drainFirst || targetAnswers()) drain();
    // The write is waited for: a refusal (the one request here that really
    // can fail) stops the send before any key typed with these bindings.
    if (!m_spareKeymap.write(step.bindings)) {
        if (m_connection.hasError()) return serverRefused();
        return failure(kKeyboardUnavailable, {}, "cannot write the keymap");
    }
    // Nothing to wait for: the server sends every program the notice of the
    // new map before any later key, so the target meets it first. It must
    // have taken the map before the keycodes change again: drain() sees to
    // that.
    return Status::success();
}

bool KeyboardSession::targetAnswers() {
    if (m_target == 0) return false;
    if (!m_targetAnswers) m_targetAnswers = m_ping.understoodBy(m_target);
    return *m_targetAnswers;
}

void KeyboardSession::drain() {
    XFlush(m_connection.display());
    if (!targetAnswers() || !m_ping.roundTrip(m_target, m_timing.settleTimeout)) {
        // No way to know how far it has read: the server at least has
        // handled everything, and the target gets a moment more.
        XSync(m_connection.display(), False);
        std::this_thread::sleep_for(m_timing.settlePause);
    }
    m_keysAhead = 0;
}

void KeyboardSession::send(const std::vector<KeyEvent>& events, std::uint8_t character) {
    Display* display = m_connection.display();
    for (const KeyEvent& event : events) {
        // The focus guard judges a character by the serial of its press.
        if (event.press && event.keycode == character) m_lastKeySerial = NextRequest(display);
        m_keySerials.push_back(NextRequest(display));
        XTestFakeKeyEvent(display, event.keycode, event.press ? True : False, event.delayMs);
    }
}

void KeyboardSession::key(std::uint8_t keycode, bool press) {
    std::vector<KeyEvent> events;
    m_events.key(keycode, press, events);
    send(events);
}

void KeyboardSession::end() {
    if (!m_connection.isOpen()) return;
    Display* display = m_connection.display();
    if (m_spareKeymap.changed()) {
        // The target may still be reading keys sent with the borrowed keycodes.
        drain();
        m_spareKeymap.restore();
    }
    if (m_unlockedModifiers != 0)
        XkbLockModifiers(display, XkbUseCoreKbd, m_unlockedModifiers, m_unlockedModifiers);
    if (m_watchingState)
        XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify, XkbAllStateComponentsMask, 0);
    XSync(display, False);
    XEvent event;
    while (XCheckTypedEvent(display, m_connection.xkbEventBase(), &event)) {
    }
    // The notices of our own keymap changes.
    while (XCheckTypedEvent(display, MappingNotify, &event)) {
    }
    m_connection.clearErrors();
    m_watchingState = false;
    m_planner.reset();
    m_expected.clear();
    m_events.reset();
    m_events.setShiftKeycode(0);
    m_targetAnswers.reset();
    m_keysAhead = 0;
    m_group = -1;
    m_unlockedModifiers = 0;
    m_unconfirmedKeys = 0;
    m_keysPerQuestion.clear();
    m_keysSinceQuestion = 0;
    m_lastKeySerial = 0;
    m_keySerials.clear();
    m_enters.clear();
    m_entersDelivered = 0;
    m_enterLost.reset();
    m_target = 0;
}

}  // namespace tastalo::platform::x11

#include "platform/x11/key_planner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <map>
#include <random>
#include <set>

namespace tastalo::platform::x11 {
namespace {

using ::testing::ElementsAre;
using Kind = KeyStep::Kind;

constexpr std::uint8_t kShift = 50;

// A small US-like keymap. The keypad key has the lowest keycode, so that
// choosing it for '1' would show.
KeymapSnapshot usKeymap(std::vector<std::uint8_t> spares = {200, 201, 202}) {
    KeymapSnapshot keymap;
    keymap.keys = {
        {9, XKB_KEY_KP_End, XKB_KEY_KP_1},
        {10, XKB_KEY_1, XKB_KEY_exclam},
        {11, XKB_KEY_2, XKB_KEY_at},
        {23, XKB_KEY_Tab, XKB_KEY_ISO_Left_Tab},
        {36, XKB_KEY_Return, 0},
        {38, XKB_KEY_a, XKB_KEY_A},
        {56, XKB_KEY_b, XKB_KEY_B},
        {kShift, XKB_KEY_Shift_L, 0},
        {65, XKB_KEY_space, 0},
        {120, XKB_KEY_exclam, 0},  // '!' also without Shift, on a later key
    };
    keymap.spareKeycodes = std::move(spares);
    keymap.shiftKeycode = kShift;
    return keymap;
}

KeySym32 sym(char32_t c) { return xkb_utf32_to_keysym(c); }

KeyStep press(std::uint8_t keycode, ShiftNeed shift) {
    KeyStep step;
    step.keycode = keycode;
    step.shift = shift;
    return step;
}

KeyStep bind(std::vector<SpareBinding> bindings, bool drainFirst = false) {
    KeyStep step;
    step.kind = Kind::Bind;
    step.bindings = std::move(bindings);
    step.drainFirst = drainFirst;
    return step;
}

SpareBinding pair(std::uint8_t keycode, char32_t plain, char32_t shifted) {
    return {keycode, sym(plain), sym(shifted)};
}
SpareBinding single(std::uint8_t keycode, char32_t c) { return {keycode, sym(c), sym(c)}; }

// Plays steps the way the server and a target would and gives the
// characters the target sees. It also holds the planner to its rules: no
// key of a keycode before a binding gave it a character, and no keycode
// changed while keys sent with it may be unread, unless the step asks to
// wait for them (drainFirst).
class TargetSimulation {
public:
    explicit TargetSimulation(const KeymapSnapshot& keymap) {
        for (const auto& key : keymap.keys) m_keys[key.keycode] = {key.plain, key.shifted};
    }

    std::u32string play(const std::vector<KeyStep>& steps) {
        std::u32string seen;
        for (const KeyStep& step : steps) {
            if (step.kind == Kind::Bind) {
                if (step.drainFirst) m_unread.clear();
                for (const SpareBinding& binding : step.bindings) {
                    EXPECT_FALSE(m_unread.contains(binding.keycode))
                        << "keycode " << int(binding.keycode) << " changed while its keys may be unread";
                    m_keys[binding.keycode] = {binding.plain, binding.shifted};
                }
                ++m_binds;
                continue;
            }
            m_unread.insert(step.keycode);
            const auto found = m_keys.find(step.keycode);
            if (found == m_keys.end()) {
                ADD_FAILURE() << "press of unbound keycode " << int(step.keycode);
                continue;
            }
            // A key pressed whatever the Shift state must type the same on both levels.
            if (step.shift == ShiftNeed::Either) {
                EXPECT_EQ(found->second.first, found->second.second);
            }
            const KeySym32 keysym = step.shift == ShiftNeed::On ? found->second.second : found->second.first;
            seen.push_back(xkb_keysym_to_utf32(keysym));
        }
        return seen;
    }
    int binds() const { return m_binds; }

private:
    std::map<std::uint8_t, std::pair<KeySym32, KeySym32>> m_keys;
    std::set<std::uint8_t> m_unread;
    int m_binds = 0;
};

TEST(KeyPlanner, CharactersOfTheKeymapUseTheirKeyAndLevel) {
    KeyPlanner planner(usKeymap());
    const auto plan = planner.plan(U"aA1@ \t\r");
    EXPECT_FALSE(plan.untypeable.has_value());
    EXPECT_THAT(plan.steps,
                ElementsAre(press(38, ShiftNeed::Off), press(38, ShiftNeed::On), press(10, ShiftNeed::Off),
                            press(11, ShiftNeed::On), press(65, ShiftNeed::Off), press(23, ShiftNeed::Off),
                            press(36, ShiftNeed::Off)));
    EXPECT_TRUE(planner.borrowedKeycodes().empty());
}

TEST(KeyPlanner, AKeyWithoutShiftIsPreferredAndKeypadKeysAreNeverUsed) {
    KeyPlanner planner(usKeymap());
    EXPECT_THAT(planner.plan(U"!1").steps,
                ElementsAre(press(120, ShiftNeed::Off), press(10, ShiftNeed::Off)));
}

TEST(KeyPlanner, TheMissingCharactersOfAWholeSendAreBoundInOneStepBeforeTheFirstKeyOfTheTextThatNeedsThem) {
    KeyPlanner planner(usKeymap());
    EXPECT_EQ(planner.capacity(), 6U);
    planner.expect({U"ab", U"aéß", U"a€é"});
    EXPECT_THAT(planner.plan(U"ab").steps, ElementsAre(press(38, ShiftNeed::Off), press(56, ShiftNeed::Off)));
    planner.plan(U"\r");
    // Both levels of each spare keycode, in order of first use; the odd
    // one out carries its character on both. Bound before the "a": a
    // refused binding leaves nothing of the text in the target.
    EXPECT_THAT(planner.plan(U"aéß").steps,
                ElementsAre(bind({pair(200, U'é', U'ß'), single(201, U'€')}), press(38, ShiftNeed::Off),
                            press(200, ShiftNeed::Off), press(200, ShiftNeed::On)));
    planner.plan(U"\r");
    EXPECT_THAT(
        planner.plan(U"a€é").steps,
        ElementsAre(press(38, ShiftNeed::Off), press(201, ShiftNeed::Either), press(200, ShiftNeed::Off)));
    EXPECT_THAT(planner.borrowedKeycodes(), ElementsAre(200, 201));
}

TEST(KeyPlanner, MoreCharactersThanTheSparesHoldAreBoundInStretchesAlongTheList) {
    const KeymapSnapshot keymap = usKeymap({200, 201});
    KeyPlanner planner(keymap);
    TargetSimulation target(keymap);
    // Four fit at once; the fifth starts the next stretch, which needs what
    // the list still uses from there on and must wait for the keys before.
    const std::vector<std::u32string> texts = {U"αβ", U"γδα", U"εα", U"β"};
    planner.expect(texts);
    EXPECT_THAT(planner.plan(U"αβ").steps,
                ElementsAre(bind({pair(200, U'α', U'β'), pair(201, U'γ', U'δ')}), press(200, ShiftNeed::Off),
                            press(200, ShiftNeed::On)));
    planner.plan(U"\r");
    planner.plan(U"γδα");
    planner.plan(U"\r");
    EXPECT_THAT(planner.plan(U"εα").steps,
                ElementsAre(bind({pair(200, U'ε', U'α'), single(201, U'β')}, true),
                            press(200, ShiftNeed::Off), press(200, ShiftNeed::On)));
}

TEST(KeyPlanner, LongListsOfManyMissingCharactersArriveExactlyWithOrWithoutTheListAnnounced) {
    std::u32string alphabet = U"ab1!@ \t";
    for (char32_t c = U'α'; c <= U'ω'; ++c) alphabet.push_back(c);
    const KeymapSnapshot keymap = usKeymap({180, 181, 182, 183});
    std::map<bool, int> binds;
    for (const bool announced : {true, false}) {
        std::mt19937 random(12345);
        std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
        std::vector<std::u32string> texts;
        for (int barcode = 0; barcode < 50; ++barcode) {
            std::u32string text;
            for (int i = 0; i < 30; ++i) text.push_back(alphabet[pick(random)]);
            texts.push_back(text);
        }
        KeyPlanner planner(keymap);
        TargetSimulation target(keymap);
        if (announced) planner.expect(texts);
        for (const auto& text : texts) {
            const auto plan = planner.plan(text);
            ASSERT_FALSE(plan.untypeable.has_value());
            EXPECT_EQ(target.play(plan.steps), text) << (announced ? "announced" : "text by text");
            EXPECT_EQ(target.play(planner.plan(U"\r").steps), U"\r");
        }
        EXPECT_THAT(planner.borrowedKeycodes(), ::testing::UnorderedElementsAre(180, 181, 182, 183));
        binds[announced] = target.binds();
    }
    // Stretches run across texts only when the list is known.
    EXPECT_LT(binds[true], binds[false]);
}

TEST(KeyPlanner, ATextOutOfTheAnnouncedOrderIsPlannedOnItsOwn) {
    KeyPlanner planner(usKeymap({200}));
    planner.expect({U"é"});
    EXPECT_THAT(
        planner.plan(U"ßa").steps,
        ElementsAre(bind({single(200, U'ß')}), press(200, ShiftNeed::Either), press(38, ShiftNeed::Off)));
    // The keycode now carries ß, and keys typed with it may be unread.
    EXPECT_THAT(planner.plan(U"é").steps,
                ElementsAre(bind({single(200, U'é')}, true), press(200, ShiftNeed::Either)));
    EXPECT_THAT(planner.plan(U"é").steps, ElementsAre(press(200, ShiftNeed::Either)));
}

TEST(KeyPlanner, AnUntypeableCharacterPlansNothingAndBindsNothing) {
    KeyPlanner planner(usKeymap());
    planner.expect({U"aé\uFFFE"});
    const auto refused = planner.plan(U"aé\uFFFE");
    EXPECT_EQ(refused.untypeable, U'\uFFFE');
    EXPECT_TRUE(refused.steps.empty());
    EXPECT_TRUE(planner.borrowedKeycodes().empty());
    EXPECT_THAT(planner.plan(U"é").steps,
                ElementsAre(bind({single(200, U'é')}), press(200, ShiftNeed::Either)));
}

TEST(KeyPlanner, WithoutSpareKeycodesOnlyCharactersOfTheKeymapCanBeTyped) {
    KeyPlanner planner(usKeymap({}));
    EXPECT_FALSE(planner.plan(U"ab").untypeable.has_value());
    EXPECT_EQ(planner.plan(U"aé").untypeable, U'é');
}

TEST(KeyPlanner, WithoutAShiftKeyEachSpareCarriesOneCharacterAndShiftedSymbolsGoThere) {
    KeymapSnapshot keymap = usKeymap();
    keymap.shiftKeycode = 0;
    KeyPlanner planner(keymap);
    EXPECT_EQ(planner.capacity(), 3U);
    planner.expect({U"Aé"});
    EXPECT_THAT(planner.plan(U"Aé").steps,
                ElementsAre(bind({single(200, U'A'), single(201, U'é')}), press(200, ShiftNeed::Either),
                            press(201, ShiftNeed::Either)));
}

TEST(KeyPlanner, AnotherGroupReplacesTheKeymapButNotTheSpareKeycodes) {
    KeyPlanner planner(usKeymap());
    planner.plan(U"é");  // on 200
    // The second group as the server now shows it: a Cyrillic letter on 38,
    // and the bound keycode with é on it.
    KeymapSnapshot cyrillic = usKeymap({201, 202});
    cyrillic.keys[5] = {38, XKB_KEY_Cyrillic_ef, XKB_KEY_Cyrillic_EF};
    cyrillic.keys.push_back({200, XKB_KEY_eacute, XKB_KEY_eacute});
    planner.reload(cyrillic);
    EXPECT_THAT(planner.plan(U"фé").steps,
                ElementsAre(press(38, ShiftNeed::Off), press(200, ShiftNeed::Either)));
    EXPECT_THAT(planner.plan(U"a").steps,
                ElementsAre(bind({single(200, U'a')}, true), press(200, ShiftNeed::Either)));
}

std::vector<KeyEvent> events(const std::vector<std::pair<std::uint8_t, ShiftNeed>>& strokes) {
    KeyEventWriter writer;
    writer.setShiftKeycode(kShift);
    std::vector<KeyEvent> out;
    for (const auto& [keycode, shift] : strokes) writer.stroke(keycode, shift, out);
    writer.releaseShift(out);
    return out;
}

TEST(KeyEventWriter, OnlyAPressRightAfterTheReleaseOfTheSameKeyIsHeldBack) {
    constexpr unsigned long kHeld = KeyEventWriter::kSameKeyDelayMs;
    static_assert(kHeld >= 1);
    // "aa", then "AA" under one Shift: each second press follows its own release.
    EXPECT_THAT(
        events({{38, ShiftNeed::Off}, {38, ShiftNeed::Off}, {38, ShiftNeed::On}, {38, ShiftNeed::On}}),
        ElementsAre(KeyEvent{38, true, 0}, KeyEvent{38, false, 0}, KeyEvent{38, true, kHeld},
                    KeyEvent{38, false, 0}, KeyEvent{kShift, true, 0}, KeyEvent{38, true, 0},
                    KeyEvent{38, false, 0}, KeyEvent{38, true, kHeld}, KeyEvent{38, false, 0},
                    KeyEvent{kShift, false, 0}));
    // "ab", and Shift let go and taken again around "1" in "A1A": no pair.
    EXPECT_THAT(events({{38, ShiftNeed::Off}, {56, ShiftNeed::Off}}),
                ElementsAre(KeyEvent{38, true, 0}, KeyEvent{38, false, 0}, KeyEvent{56, true, 0},
                            KeyEvent{56, false, 0}));
    for (const KeyEvent& event : events({{38, ShiftNeed::On}, {10, ShiftNeed::Off}, {38, ShiftNeed::On}}))
        EXPECT_EQ(event.delayMs, 0U);
    // Two Enters in a row (empty barcodes), across calls.
    KeyEventWriter writer;
    std::vector<KeyEvent> out;
    writer.stroke(36, ShiftNeed::Off, out);
    writer.stroke(36, ShiftNeed::Off, out);
    EXPECT_EQ(out[2], (KeyEvent{36, true, kHeld}));
    writer.reset();
    out.clear();
    writer.stroke(36, ShiftNeed::Off, out);
    EXPECT_EQ(out[0].delayMs, 0U) << "a new send starts afresh";
}

}  // namespace
}  // namespace tastalo::platform::x11

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

KeyStep press(std::uint8_t keycode, ShiftNeed shift) { return {Kind::Press, keycode, 0, shift, false}; }
KeyStep bind(std::uint8_t keycode, char32_t c, bool settle = false) {
    return {Kind::Bind, keycode, xkb_utf32_to_keysym(c), ShiftNeed::Either, settle};
}

// Plays steps against a keymap the way the server and a target would, and
// gives the characters the target sees. Also checks that a keycode never
// changes meaning without the target being given time to catch up.
class TargetSimulation {
public:
    explicit TargetSimulation(const KeymapSnapshot& keymap) {
        for (const auto& key : keymap.keys) m_keys[key.keycode] = {key.plain, key.shifted};
    }

    std::u32string play(const std::vector<KeyStep>& steps) {
        std::u32string seen;
        for (const KeyStep& step : steps) {
            if (step.kind == Kind::Bind) {
                if (m_used.contains(step.keycode)) {
                    EXPECT_TRUE(step.settleFirst) << "keycode " << int(step.keycode) << " rebound without settling";
                }
                m_keys[step.keycode] = {step.keysym, step.keysym};
                continue;
            }
            m_used.insert(step.keycode);
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

private:
    std::map<std::uint8_t, std::pair<KeySym32, KeySym32>> m_keys;
    std::set<std::uint8_t> m_used;
};

TEST(KeyPlanner, CharactersOfTheKeymapUseTheirKeyAndLevel) {
    KeyPlanner planner(usKeymap());
    const auto plan = planner.plan(U"aA1@ \t\r");
    EXPECT_FALSE(plan.untypeable.has_value());
    EXPECT_THAT(plan.steps, ::testing::ElementsAre(press(38, ShiftNeed::Off), press(38, ShiftNeed::On),
                                                   press(10, ShiftNeed::Off), press(11, ShiftNeed::On),
                                                   press(65, ShiftNeed::Off), press(23, ShiftNeed::Off),
                                                   press(36, ShiftNeed::Off)));
    EXPECT_TRUE(planner.borrowedKeycodes().empty());
}

TEST(KeyPlanner, AKeyWithoutShiftIsPreferredAndKeypadKeysAreNeverUsed) {
    KeyPlanner planner(usKeymap());
    EXPECT_THAT(planner.plan(U"!1").steps,
                ::testing::ElementsAre(press(120, ShiftNeed::Off), press(10, ShiftNeed::Off)));
}

TEST(KeyPlanner, AMissingCharacterBorrowsOneSpareKeycodeForTheWholeSend) {
    KeyPlanner planner(usKeymap());
    EXPECT_THAT(planner.plan(U"é").steps, ::testing::ElementsAre(bind(202, U'é'), press(202, ShiftNeed::Either)));
    EXPECT_THAT(planner.plan(U"aéé").steps,
                ::testing::ElementsAre(press(38, ShiftNeed::Off), press(202, ShiftNeed::Either),
                                       press(202, ShiftNeed::Either)));
    EXPECT_THAT(planner.borrowedKeycodes(), ::testing::ElementsAre(202));
}

TEST(KeyPlanner, DistinctMissingCharactersGetDistinctKeycodesWithoutWaiting) {
    KeyPlanner planner(usKeymap());
    EXPECT_THAT(planner.plan(U"éß€").steps,
                ::testing::ElementsAre(bind(202, U'é'), press(202, ShiftNeed::Either), bind(201, U'ß'),
                                       press(201, ShiftNeed::Either), bind(200, U'€'),
                                       press(200, ShiftNeed::Either)));
}

TEST(KeyPlanner, WhenSparesRunOutTheLeastRecentlyUsedOneIsReboundAfterSettling) {
    KeyPlanner planner(usKeymap());
    planner.plan(U"éß€");  // 202, 201, 200
    planner.plan(U"é");    // 202 is now the most recent; 201 (ß) the oldest
    EXPECT_THAT(planner.plan(U"Ω").steps,
                ::testing::ElementsAre(bind(201, U'Ω', true), press(201, ShiftNeed::Either)));
    // ß lost its keycode and takes the next oldest (€'s).
    EXPECT_THAT(planner.plan(U"ß").steps,
                ::testing::ElementsAre(bind(200, U'ß', true), press(200, ShiftNeed::Either)));
    EXPECT_THAT(planner.borrowedKeycodes(), ::testing::UnorderedElementsAre(200, 201, 202));
}

TEST(KeyPlanner, LongTextsOfManyMissingCharactersArriveExactlyWhateverTheOrder) {
    std::u32string alphabet = U"ab1!@ \t";
    for (char32_t c = U'α'; c <= U'ω'; ++c) alphabet.push_back(c);
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    const KeymapSnapshot keymap = usKeymap({180, 181, 182, 183});
    KeyPlanner planner(keymap);
    TargetSimulation target(keymap);
    for (int barcode = 0; barcode < 50; ++barcode) {
        std::u32string text;
        for (int i = 0; i < 30; ++i) text.push_back(alphabet[pick(random)]);
        const auto plan = planner.plan(text);
        ASSERT_FALSE(plan.untypeable.has_value());
        EXPECT_EQ(target.play(plan.steps), text) << "barcode " << barcode;
    }
    EXPECT_THAT(planner.borrowedKeycodes(), ::testing::UnorderedElementsAre(180, 181, 182, 183));
}

TEST(KeyPlanner, AnUntypeableCharacterPlansNothingAndBorrowsNothing) {
    KeyPlanner planner(usKeymap());
    const auto refused = planner.plan(U"aé\uFFFE");
    EXPECT_EQ(refused.untypeable, U'\uFFFE');
    EXPECT_TRUE(refused.steps.empty());
    EXPECT_TRUE(planner.borrowedKeycodes().empty());
    // é was not recorded as bound: it is bound when it is really typed.
    EXPECT_THAT(planner.plan(U"é").steps, ::testing::ElementsAre(bind(202, U'é'), press(202, ShiftNeed::Either)));
}

TEST(KeyPlanner, WithoutSpareKeycodesOnlyCharactersOfTheKeymapCanBeTyped) {
    KeyPlanner planner(usKeymap({}));
    EXPECT_FALSE(planner.plan(U"ab").untypeable.has_value());
    EXPECT_EQ(planner.plan(U"aé").untypeable, U'é');
}

TEST(KeyPlanner, WithoutAShiftKeyShiftedSymbolsAreTypedThroughASpare) {
    KeymapSnapshot keymap = usKeymap();
    keymap.shiftKeycode = 0;
    KeyPlanner planner(keymap);
    EXPECT_THAT(planner.plan(U"A").steps, ::testing::ElementsAre(bind(202, U'A'), press(202, ShiftNeed::Either)));
}

TEST(KeyPlanner, AnotherGroupReplacesTheKeymapButKeepsBorrowedKeycodes) {
    KeyPlanner planner(usKeymap());
    planner.plan(U"é");  // 202
    // The second group as the server now shows it: a Cyrillic letter on 38,
    // and the borrowed keycode with é on it.
    KeymapSnapshot cyrillic = usKeymap({200, 201});
    cyrillic.keys[5] = {38, XKB_KEY_Cyrillic_ef, XKB_KEY_Cyrillic_EF};
    cyrillic.keys.push_back({202, XKB_KEY_eacute, XKB_KEY_eacute});
    planner.reload(cyrillic);
    EXPECT_THAT(planner.plan(U"фé").steps,
                ::testing::ElementsAre(press(38, ShiftNeed::Off), press(202, ShiftNeed::Either)));
    EXPECT_THAT(planner.plan(U"a").steps, ::testing::ElementsAre(bind(201, U'a'), press(201, ShiftNeed::Either)));
}

}  // namespace
}  // namespace tastalo::platform::x11

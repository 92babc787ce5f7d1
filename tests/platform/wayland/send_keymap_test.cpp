#include "platform/wayland/send_keymap.h"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <string>

namespace tastalo::test {
namespace {

using platform::wayland::KeyStroke;
using platform::wayland::SendKeymap;

struct Xkb {
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context{xkb_context_new(XKB_CONTEXT_NO_FLAGS),
                                                                       &xkb_context_unref};

    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> compile(const std::string& text) const {
        return {xkb_keymap_new_from_string(context.get(), text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                           XKB_KEYMAP_COMPILE_NO_FLAGS),
                &xkb_keymap_unref};
    }

    std::string layout(const char* name) const {
        const xkb_rule_names names{nullptr, nullptr, name, nullptr, nullptr};
        xkb_keymap* keymap = xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
        std::string result(text);
        std::free(text);
        xkb_keymap_unref(keymap);
        return result;
    }
};

// The character a compositor would produce for the stroke on `keymap`.
char32_t typedWith(xkb_keymap* keymap, KeyStroke stroke) {
    xkb_state* state = xkb_state_new(keymap);
    const xkb_mod_index_t shift = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
    xkb_state_update_mask(state, stroke.shift ? 1u << shift : 0, 0, 0, 0, 0, 0);
    const char32_t c = xkb_state_key_get_utf32(state, stroke.code + 8);
    xkb_state_unref(state);
    return c;
}

TEST(SendKeymap, EveryCharacterComesOutOfItsKeyAndThoseOnTheLayoutKeepTheLayoutsKey) {
    const Xkb xkb;
    const std::u32string onEveryLayout = U"8002345060772AbZ-";
    const std::u32string text = onEveryLayout + U"èé€ß\U0001D11EΩ";
    for (const char* name : {"us", "it"}) {
        const std::string seat = xkb.layout(name);
        const auto seatKeymap = xkb.compile(seat);
        SendKeymap keymap;
        ASSERT_TRUE(SendKeymap::build(seat, text, nullptr, keymap).ok()) << name;
        const auto uploaded = xkb.compile(keymap.text());
        ASSERT_NE(uploaded, nullptr) << name;
        for (const char32_t c : text + U"\t") {
            ASSERT_TRUE(keymap.holds(c)) << name << " U+" << std::hex << static_cast<int>(c);
            EXPECT_EQ(typedWith(uploaded.get(), keymap.strokeFor(c)), c)
                << name << " U+" << std::hex << static_cast<int>(c);
            // A program still reading keys with the operator's layout reads
            // the same character for every key that layout has.
            if (onEveryLayout.find(c) != std::u32string::npos) {
                EXPECT_EQ(typedWith(seatKeymap.get(), keymap.strokeFor(c)), c) << name;
            }
        }
        // On the Italian layout è is a key of its own.
        if (std::string(name) == "it") {
            EXPECT_EQ(typedWith(seatKeymap.get(), keymap.strokeFor(U'è')), U'è');
        }
    }
}

TEST(SendKeymap, AGrowingKeymapKeepsEveryCharactersKeyAndRunsOutOfKeysWithAClearFailure) {
    const Xkb xkb;
    SendKeymap first, second;
    ASSERT_TRUE(SendKeymap::build("", U"€ß1", nullptr, first).ok());
    ASSERT_TRUE(SendKeymap::build("", U"ΩЖ€", &first, second).ok());
    for (const char32_t c : std::u32string(U"€ß1")) EXPECT_EQ(second.strokeFor(c), first.strokeFor(c));
    EXPECT_EQ(typedWith(xkb.compile(second.text()).get(), second.strokeFor(U'Ж')), U'Ж');

    std::u32string many;
    for (char32_t c = 0x4E00; c < 0x4E00 + 600; ++c) many.push_back(c);
    SendKeymap tooMany;
    const platform::Status status = SendKeymap::build("", many, nullptr, tooMany);
    EXPECT_EQ(status.code, platform::kCharacterNotTypeable);
    EXPECT_EQ(status.subject.size(), 1u);
}

TEST(SendKeymap, AnotherKeymapTypesAlikeOnlyWhereEveryKeyGivesTheSameCharacter) {
    const Xkb xkb;
    const struct {
        const char* caso;
        std::u32string text;
        const char* layout;
        bool alike;
    } casi[] = {
        {"characters on the US layout, US again", U"Ab1-", "us", true},
        {"digits and letters, Italian layout", U"Ab1", "it", true},
        {"'-' from the US layout, Italian layout", U"Ab1-", "it", false},
        {"characters off the layout", U"A€伨", "us", false},
    };
    for (const auto& caso : casi) {
        SendKeymap keymap;
        ASSERT_TRUE(SendKeymap::build(xkb.layout("us"), caso.text, nullptr, keymap).ok()) << caso.caso;
        EXPECT_TRUE(keymap.typesAlike(keymap.text())) << caso.caso;
        EXPECT_EQ(keymap.typesAlike(xkb.layout(caso.layout)), caso.alike) << caso.caso;
    }
    SendKeymap keymap;
    ASSERT_TRUE(SendKeymap::build("", U"A", nullptr, keymap).ok());
    EXPECT_FALSE(keymap.typesAlike("not a keymap"));
}

}  // namespace
}  // namespace tastalo::test

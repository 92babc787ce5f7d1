// Types a list of barcodes as fast as the Wayland backend allows (Delay 0)
// into the window with the given title, and says how it ended and how fast.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <wayland-client.h>

#include "barcode_mix.h"
#include "platform/keyboard_target.h"
#include "platform/wayland/client_backlog.h"
#include "platform/wayland/wayland_keyboard_target.h"
#include "platform/x11/x11_keyboard_target.h"

using namespace tastalo::platform;

namespace {

// Letters and digits; with `wide`, also characters off every usual layout.
std::u32string barcode(int index, int length, bool wide) {
    static const std::u32string kCharacters = U"0123456789ABCDEFGHJKLMNPRSTUVWXYZabcdefghijkmnopqrstuvwxyz";
    static const std::u32string kWide =
        kCharacters + U"àèéìòù€ßÅØ½αβγδεζηθλμπσωжзийклмн伨偵侗严兓儮典傚一刌匴";
    const std::u32string& characters = wide ? kWide : kCharacters;
    std::u32string text = std::u32string(U"000000") + std::u32string(1, U'-');
    std::string number = std::to_string(index);
    for (std::size_t i = 0; i < number.size(); ++i) text[6 - number.size() + i] = number[i];
    unsigned seed = static_cast<unsigned>(index) * 2654435761u;
    while (static_cast<int>(text.size()) < length) {
        seed = seed * 1103515245u + 12345u;
        text.push_back(characters[(seed >> 16) % characters.size()]);
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    // --unpaced: keys as fast as they go, to see what the compositor does
    // to a program that falls behind. --delay MS: the pause after each
    // barcode. --wide: characters off the layout too. --x11: through the X11
    // backend (XWayland) instead.
    const char* program = argv[0];
    bool unpaced = false, wide = false, x11 = false;
    int delay = 0;
    for (; argc > 1 && std::string(argv[1]).rfind("--", 0) == 0; --argc, ++argv) {
        const std::string option = argv[1];
        if (option == "--unpaced") unpaced = true;
        if (option == "--wide") wide = true;
        if (option == "--x11") x11 = true;
        if (option == "--delay" && argc > 2) {
            delay = std::atoi(argv[2]);
            --argc;
            ++argv;
        }
    }
    if (argc < 3) {
        std::fprintf(
            stderr,
            "usage: %s [--unpaced] [--delay MS] [--wide] [--x11] TITLE COUNT [LENGTH [EXPECTED_FILE]]\n",
            program);
        return 2;
    }
    const std::string title = argv[1];
    const int count = std::atoi(argv[2]);
    const int length = argc > 3 ? std::atoi(argv[3]) : 12;
    std::vector<std::u32string> list;
    for (int i = 0; i < count; ++i) list.push_back(barcode(i, length, wide));
    if (argc > 4) {
        // What the target must hold afterwards, one barcode a line.
        if (FILE* expected = std::fopen(argv[4], "w")) {
            std::fputs(tastalo::bench::expectedLog(list).c_str(), expected);
            std::fclose(expected);
        }
    }

    wayland::WaylandKeyboardTarget::Options options;
    options.paceToReaders = !unpaced;
    wayland::WaylandKeyboardTarget waylandKeyboard(options);
    x11::X11KeyboardTarget x11Keyboard;
    KeyboardTarget& keyboard = x11 ? static_cast<KeyboardTarget&>(x11Keyboard) : waylandKeyboard;
    const auto start = std::chrono::steady_clock::now();
    Status status = keyboard.activate(std::u32string(title.begin(), title.end()));
    int sent = 0;
    bool unwatched = false;
    if (status.ok()) {
        unwatched = keyboard.deliveryUnwatched();
        keyboard.expectTexts(list);
        for (const auto& text : list) {
            status = keyboard.typeText(text);
            if (status.ok()) status = keyboard.pressEnter();
            if (status.ok() && delay > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            if (status.ok()) status = keyboard.confirmDelivery();
            if (!status.ok()) break;
            ++sent;
        }
        if (status.ok()) status = keyboard.confirmDelivery();
        // What the programs hold unread now, most first.
        wl_display* probe = wl_display_connect(nullptr);
        const auto queues = probe ? wayland::readClientQueues(wl_display_get_fd(probe)) : std::nullopt;
        if (probe) wl_display_disconnect(probe);
        if (queues) {
            std::uint32_t most = 0, limit = 0;
            for (const auto& queue : *queues) {
                if (queue.queued >= most) {
                    most = queue.queued;
                    limit = queue.limit;
                }
            }
            std::printf("unread: %u of %u bytes\n", most, limit);
        }
        keyboard.finish();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double keys = static_cast<double>(sent) * (length + 1);
    std::printf("status %d %s; sent %d of %d in %.3f s: %.0f keystrokes/s%s\n", status.code,
                status.detail.c_str(), sent, count, seconds, keys / seconds, unwatched ? " (unwatched)" : "");
    return status.ok() ? 0 : 1;
}

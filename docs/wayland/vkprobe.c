/* vkprobe: measures, on a wlroots compositor, what a Wayland keystroke backend
   for Tastalo would rely on. Not part of the build; see docs/wayland.md.

   vkprobe list                         toplevels (title, activated) from zwlr_foreign_toplevel_manager_v1
   vkprobe [--late] [--no-roundtrip] [--settle MS] TITLE LINE...
                                        activates the toplevel titled TITLE (case-insensitive), types each
                                        LINE and Return on a zwp_virtual_keyboard_v1 whose XKB keymap holds
                                        exactly the characters needed, and stops when TITLE loses the
                                        activated state. By default the keyboard and its keymap exist (one
                                        roundtrip) before the activation; --late makes them after it;
                                        --no-roundtrip skips the roundtrip after the keymap; --settle
                                        waits MS milliseconds between the activation and the first key.
   vkprobe --hold LAYOUT SECONDS        a keyboard with the full keymap of LAYOUT taps Shift once and stays,
                                        as a real keyboard would: the seat, and XWayland, take its keymap. */
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <time.h>
#include <unistd.h>
#include <sys/mman.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

static struct wl_display *dpy;
static struct wl_seat *seat;
static struct zwp_virtual_keyboard_manager_v1 *keyboards;
static struct zwlr_foreign_toplevel_manager_v1 *toplevels;

struct toplevel {
    struct zwlr_foreign_toplevel_handle_v1 *handle;
    char title[256];
    int activated, pendingActivated, closed;
    struct toplevel *next;
};
static struct toplevel *first;

static void onTitle(void *data, struct zwlr_foreign_toplevel_handle_v1 *h, const char *title) {
    (void)h;
    snprintf(((struct toplevel *)data)->title, sizeof ((struct toplevel *)data)->title, "%s", title);
}
static void onAppId(void *d, struct zwlr_foreign_toplevel_handle_v1 *h, const char *a) { (void)d; (void)h; (void)a; }
static void onOutput(void *d, struct zwlr_foreign_toplevel_handle_v1 *h, struct wl_output *o) { (void)d; (void)h; (void)o; }
static void onState(void *data, struct zwlr_foreign_toplevel_handle_v1 *h, struct wl_array *states) {
    (void)h;
    struct toplevel *t = data;
    uint32_t *state;
    t->pendingActivated = 0;
    wl_array_for_each(state, states) if (*state == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) t->pendingActivated = 1;
}
/* State changes are atomic: they apply at "done". */
static void onDone(void *data, struct zwlr_foreign_toplevel_handle_v1 *h) {
    (void)h;
    struct toplevel *t = data;
    t->activated = t->pendingActivated;
}
static void onClosed(void *data, struct zwlr_foreign_toplevel_handle_v1 *h) { (void)h; ((struct toplevel *)data)->closed = 1; }
static void onParent(void *d, struct zwlr_foreign_toplevel_handle_v1 *h, struct zwlr_foreign_toplevel_handle_v1 *p) { (void)d; (void)h; (void)p; }
static const struct zwlr_foreign_toplevel_handle_v1_listener toplevelListener = {
    onTitle, onAppId, onOutput, onOutput, onState, onDone, onClosed, onParent};

static void onToplevel(void *d, struct zwlr_foreign_toplevel_manager_v1 *m, struct zwlr_foreign_toplevel_handle_v1 *h) {
    (void)d; (void)m;
    struct toplevel *t = calloc(1, sizeof *t);
    t->handle = h;
    t->next = first;
    first = t;
    zwlr_foreign_toplevel_handle_v1_add_listener(h, &toplevelListener, t);
}
static void onFinished(void *d, struct zwlr_foreign_toplevel_manager_v1 *m) { (void)d; (void)m; }
static const struct zwlr_foreign_toplevel_manager_v1_listener managerListener = {onToplevel, onFinished};

static void onGlobal(void *d, struct wl_registry *r, uint32_t name, const char *interface, uint32_t version) {
    (void)d;
    if (!strcmp(interface, "wl_seat")) {
        seat = wl_registry_bind(r, name, &wl_seat_interface, 1);
    } else if (!strcmp(interface, "zwp_virtual_keyboard_manager_v1")) {
        keyboards = wl_registry_bind(r, name, &zwp_virtual_keyboard_manager_v1_interface, 1);
    } else if (!strcmp(interface, "zwlr_foreign_toplevel_manager_v1")) {
        toplevels = wl_registry_bind(r, name, &zwlr_foreign_toplevel_manager_v1_interface, version < 3 ? version : 3);
        zwlr_foreign_toplevel_manager_v1_add_listener(toplevels, &managerListener, NULL);
    }
}
static void onGlobalRemove(void *d, struct wl_registry *r, uint32_t name) { (void)d; (void)r; (void)name; }
static const struct wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

static double now(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

/* Next code point of a UTF-8 string. */
static uint32_t next(const char **p) {
    const unsigned char c = (unsigned char)**p;
    const int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    uint32_t cp = length == 1 ? c : c & (0x3Fu >> (length - 1));
    for (int k = 1; k < length; k++) cp = (cp << 6) | ((unsigned char)(*p)[k] & 0x3F);
    *p += length;
    return cp;
}

static struct zwp_virtual_keyboard_v1 *keyboardWith(const char *keymap, size_t size) {
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, keymap, size) != (ssize_t)size) return NULL;
    struct zwp_virtual_keyboard_v1 *kb = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards, seat);
    zwp_virtual_keyboard_v1_keymap(kb, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, size);
    close(fd);
    return kb;
}

static int activate(struct toplevel *target) {
    const double start = now();
    zwlr_foreign_toplevel_handle_v1_activate(target->handle, seat);
    while (!target->activated && !target->closed && now() - start < 2) wl_display_roundtrip(dpy);
    printf("activated: %s after %.3f s\n", target->activated ? "yes" : "no", now() - start);
    return target->activated;
}

static int hold(const char *layout, int seconds) {
    struct xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    struct xkb_rule_names names = {.layout = layout};
    struct xkb_keymap *keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) return 1;
    char *text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    struct zwp_virtual_keyboard_v1 *kb = keyboardWith(text, strlen(text) + 1);
    if (!kb) return 1;
    wl_display_roundtrip(dpy);
    zwp_virtual_keyboard_v1_key(kb, 1, 42 /* KEY_LEFTSHIFT */, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(kb, 2, 42, WL_KEYBOARD_KEY_STATE_RELEASED);
    wl_display_roundtrip(dpy);
    sleep((unsigned)seconds);
    return 0;
}

int main(int argc, char **argv) {
    int a = 1, late = 0, roundtrip = 1, settle = 0;
    dpy = wl_display_connect(NULL);
    if (!dpy) { printf("no Wayland display\n"); return 3; }
    wl_registry_add_listener(wl_display_get_registry(dpy), &registryListener, NULL);
    wl_display_roundtrip(dpy);
    wl_display_roundtrip(dpy);  /* the toplevels' first state */
    printf("zwp_virtual_keyboard_manager_v1: %s, zwlr_foreign_toplevel_manager_v1: %s\n",
           keyboards ? "yes" : "no", toplevels ? "yes" : "no");
    if (!keyboards || !toplevels || !seat) return 4;
    if (a + 2 < argc && !strcmp(argv[a], "--hold")) return hold(argv[a + 1], atoi(argv[a + 2]));
    for (; a < argc && argv[a][0] == '-' && argv[a][1] == '-'; a++) {
        if (!strcmp(argv[a], "--late")) late = 1;
        else if (!strcmp(argv[a], "--no-roundtrip")) roundtrip = 0;
        else if (!strcmp(argv[a], "--settle") && a + 1 < argc) settle = atoi(argv[++a]);
    }
    struct toplevel *target = NULL;
    const int listing = a < argc && !strcmp(argv[a], "list");
    for (struct toplevel *t = first; t; t = t->next) {
        if (listing) printf("\"%s\"%s\n", t->title, t->activated ? " [activated]" : "");
        if (!target && a < argc && !strcasecmp(t->title, argv[a])) target = t;
    }
    if (listing) return 0;
    if (a + 1 >= argc) { fprintf(stderr, "usage: see the comment at the top of vkprobe.c\n"); return 2; }
    if (!target) { printf("no toplevel titled \"%s\"\n", argv[a]); return 5; }
    const int firstLine = a + 1;

    /* One keycode per character needed, plus Return: keycode 9 + i is evdev code 1 + i. */
    xkb_keysym_t symbols[256];
    int count = 0;
    symbols[count++] = XKB_KEY_Return;
    for (int i = firstLine; i < argc; i++) {
        for (const char *p = argv[i]; *p;) {
            const xkb_keysym_t keysym = xkb_utf32_to_keysym(next(&p));
            int known = 0;
            for (int k = 0; k < count; k++) known |= symbols[k] == keysym;
            if (!known && count < 240) symbols[count++] = keysym;
        }
    }
    char *keymap = NULL;
    size_t size = 0;
    FILE *f = open_memstream(&keymap, &size);
    fprintf(f, "xkb_keymap {\nxkb_keycodes \"(unnamed)\" {\nminimum = 8;\nmaximum = %d;\n", 9 + count);
    for (int k = 0; k < count; k++) fprintf(f, "<K%d> = %d;\n", k, 9 + k);
    fprintf(f, "};\nxkb_types \"(unnamed)\" { include \"complete\" };\n"
               "xkb_compatibility \"(unnamed)\" { include \"complete\" };\nxkb_symbols \"(unnamed)\" {\n");
    for (int k = 0; k < count; k++) {
        char name[64];
        xkb_keysym_get_name(symbols[k], name, sizeof name);
        fprintf(f, "key <K%d> {[ %s ]};\n", k, name);
    }
    fprintf(f, "};\n};\n");
    fclose(f);

    const double start = now();
    if (late && !activate(target)) return 6;
    struct zwp_virtual_keyboard_v1 *kb = keyboardWith(keymap, size + 1);
    if (!kb) return 1;
    if (roundtrip) wl_display_roundtrip(dpy);
    if (!late && !activate(target)) return 6;
    if (settle > 0) {
        usleep((useconds_t)settle * 1000);
        wl_display_roundtrip(dpy);
    }

    uint32_t time = 0;
    int sent = 0;
    for (int i = firstLine; i < argc; i++) {
        for (const char *p = argv[i];;) {
            const xkb_keysym_t keysym = *p ? xkb_utf32_to_keysym(next(&p)) : XKB_KEY_Return;
            uint32_t code = 0;
            for (int k = 0; k < count; k++) if (symbols[k] == keysym) code = (uint32_t)k + 1;
            wl_display_dispatch_pending(dpy);
            if (!target->activated || target->closed) {
                printf("\"%s\" lost the activated state after %d keys\n", target->title, sent);
                return 7;
            }
            zwp_virtual_keyboard_v1_key(kb, time++, code, WL_KEYBOARD_KEY_STATE_PRESSED);
            zwp_virtual_keyboard_v1_key(kb, time++, code, WL_KEYBOARD_KEY_STATE_RELEASED);
            ++sent;
            if (keysym == XKB_KEY_Return) break;
            if (sent % 16 == 0) wl_display_roundtrip(dpy);
        }
        wl_display_roundtrip(dpy);
    }
    printf("sent %d keys in %.3f s; \"%s\" still activated: %s\n", sent, now() - start, target->title,
           target->activated ? "yes" : "no");
    zwp_virtual_keyboard_v1_destroy(kb);
    wl_display_roundtrip(dpy);
    return 0;
}

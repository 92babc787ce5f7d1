#pragma once

// The X11 headers this backend needs, in one place. Xlib defines `Status` as a
// macro, which would rewrite the platform's own Status type in every file
// that sees both; Xlib's Status is plain int, so the macro goes.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

#undef Status

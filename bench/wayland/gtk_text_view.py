#!/usr/bin/env python3
# A GTK 3 text view titled ARGV[1] that keeps its text in the file ARGV[2]
# (written every 300 ms while it changes, and on closing): a GTK program
# whose text the Wayland benchmark can read back.
import sys, gi
gi.require_version('Gtk', '3.0')
from gi.repository import Gtk, GLib
title, path = sys.argv[1], sys.argv[2]
win = Gtk.Window(title=title); win.set_default_size(600, 400)
view = Gtk.TextView(); scroll = Gtk.ScrolledWindow(); scroll.add(view); win.add(scroll)
buf = view.get_buffer(); dirty = [False]
buf.connect('changed', lambda b: dirty.__setitem__(0, True))
def save():
    if dirty[0]:
        dirty[0] = False
        with open(path, 'w') as f: f.write(buf.get_text(buf.get_start_iter(), buf.get_end_iter(), True))
    return True
GLib.timeout_add(300, save)
win.connect('destroy', lambda w: (save(), Gtk.main_quit()))
win.show_all(); Gtk.main()

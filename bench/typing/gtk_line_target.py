#!/usr/bin/env python3
# gtk_line_target.py TITLE LOG: a GTK 3 window titled TITLE whose text view
# appends each line entered (at Enter) to the file LOG and empties itself,
# as the Qt target does: a GTK program for the typing benchmarks.
import sys, gi
gi.require_version('Gtk', '3.0')
from gi.repository import Gtk, Gdk
title, path = sys.argv[1], sys.argv[2]
log = open(path, 'a', encoding='utf-8')
win = Gtk.Window(title=title); win.set_default_size(360, 120)
view = Gtk.TextView(); win.add(view)
buf = view.get_buffer()
def key(widget, event):
    if event.keyval not in (Gdk.KEY_Return, Gdk.KEY_KP_Enter): return False
    log.write(buf.get_text(buf.get_start_iter(), buf.get_end_iter(), True) + '\n'); log.flush()
    buf.set_text('')
    return True
view.connect('key-press-event', key)
win.connect('destroy', Gtk.main_quit)
win.show_all(); view.grab_focus(); Gtk.main()

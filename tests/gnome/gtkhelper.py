#!/usr/bin/python3
"""GTK 3 helpers of the GNOME transfer test.

gtkhelper.py textview TITLE FILE [DECOY_AFTER]: a window with a text view whose text is kept in
    FILE from the moment it first holds the focus. With DECOY_AFTER, once the text holds that many
    characters, a second window opens and takes the focus; its text is kept in FILE.decoy.
gtkhelper.py clipboard FILE: offers FILE's text on the clipboard, then makes FILE.offered.
"""
import os
import sys

import gi
gi.require_version('Gdk', '3.0')
gi.require_version('Gtk', '3.0')
from gi.repository import Gdk, Gtk  # noqa: E402


def save(path, text):
    with open(path + '.new', 'w', encoding='utf-8') as file:
        file.write(text)
    os.replace(path + '.new', path)


def text_window(title, path, decoy_after=None):
    window, view = Gtk.Window(title=title), Gtk.TextView()
    buffer, decoy = view.get_buffer(), []

    def changed(_buffer):
        text = buffer.get_text(buffer.get_start_iter(), buffer.get_end_iter(), True)
        save(path, text)
        if decoy_after is not None and not decoy and len(text) >= decoy_after:
            decoy.append(text_window('Decoy', path + '.decoy'))

    def focused(*_):
        if not os.path.exists(path):
            save(path, '')
        return False

    buffer.connect('changed', changed)
    window.connect('focus-in-event', focused)
    window.set_default_size(600, 400)
    window.add(view)
    window.show_all()
    view.grab_focus()
    return window


if __name__ == '__main__':
    if sys.argv[1] == 'textview':
        text_window(sys.argv[2], sys.argv[3], int(sys.argv[4]) if len(sys.argv) > 4 else None)
    else:
        with open(sys.argv[2], encoding='utf-8') as file:
            Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD).set_text(file.read(), -1)
        save(sys.argv[2] + '.offered', '')
    Gtk.main()

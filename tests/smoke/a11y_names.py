"""Reads the main window's tool buttons through the accessibility bus (AT-SPI),
as a screen reader finds them, and checks their names.

Usage: a11y_names.py EXPECTED-NAME...
The names of the tool buttons that show, in their order from the left, must be
the given ones, and no push button anywhere in the program may be nameless.
"""
import sys

import pyatspi

from a11y_common import descendants, find_app, wait_for


def frame_of(app):
    for child in app:
        if child is not None and child.getRole() == pyatspi.ROLE_FRAME:
            if child.name.startswith("Tarvik's Brewpad"):
                return child
    return None


def main():
    expected = sys.argv[1:]
    app = wait_for("Brewpad not on the accessibility bus", find_app)
    frame = wait_for("the main window not found", lambda: frame_of(app))

    def tool_buttons():
        # The tool panel is the part of the window holding the most buttons
        # that show (the tab bar has its two scroll buttons).
        panels = {}
        for b in descendants(frame, pyatspi.ROLE_PUSH_BUTTON):
            if b.getState().contains(pyatspi.STATE_SHOWING):
                panels.setdefault(b.parent, []).append(b)
        best = max(panels.values(), key=len, default=[])
        return best if len(best) >= len(expected) else None

    buttons = wait_for("the tool buttons not found", tool_buttons)
    buttons.sort(key=lambda b: b.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).x)
    names = [b.name for b in buttons]
    if names != expected:
        sys.exit(f"FAIL: tool buttons read {names}, expected {expected}")
    nameless = [b for b in descendants(app, pyatspi.ROLE_PUSH_BUTTON) if not b.name]
    if nameless:
        sys.exit(f"FAIL: {len(nameless)} push buttons without a name")
    print("tool buttons:", ", ".join(names))


main()

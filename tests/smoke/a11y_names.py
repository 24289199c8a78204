"""Reads the main window's tool buttons through the accessibility bus (AT-SPI),
as a screen reader finds them, and checks their names.

Usage: a11y_names.py EXPECTED-NAME...
The names of the tool buttons that show, in their order from the left, must be
the given ones, and no push button anywhere in the program may be nameless.
"""
import sys
import time

import pyatspi

TIMEOUT = 30


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == "Brewpad":
            return app
    return None


def frame_of(app):
    for child in app:
        if child is not None and child.getRole() == pyatspi.ROLE_FRAME:
            if child.name.startswith("Tarvik's Brewpad"):
                return child
    return None


def push_buttons(node, out):
    for child in node:
        if child is None:
            continue
        if child.getRole() == pyatspi.ROLE_PUSH_BUTTON:
            out.append(child)
        push_buttons(child, out)
    return out


def wait_for(what, probe):
    # The program registers with the bus a moment after it starts; ask again
    # until it answers or the time is up.
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        try:
            found = probe()
        except Exception:  # the tree is still being built
            found = None
        if found:
            return found
        time.sleep(0.1)
    sys.exit(f"FAIL: {what} not found on the accessibility bus")


def main():
    expected = sys.argv[1:]
    app = wait_for("Brewpad", find_app)
    frame = wait_for("the main window", lambda: frame_of(app))

    def tool_buttons():
        # The tool panel is the part of the window holding the most buttons
        # that show (the tab bar has its two scroll buttons).
        panels = {}
        for b in push_buttons(frame, []):
            if b.getState().contains(pyatspi.STATE_SHOWING):
                panels.setdefault(b.parent, []).append(b)
        best = max(panels.values(), key=len, default=[])
        return best if len(best) >= len(expected) else None

    buttons = wait_for("the tool buttons", tool_buttons)
    buttons.sort(key=lambda b: b.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).x)
    names = [b.name for b in buttons]
    if names != expected:
        sys.exit(f"FAIL: tool buttons read {names}, expected {expected}")
    nameless = [b for b in push_buttons(app, []) if not b.name]
    if nameless:
        sys.exit(f"FAIL: {len(nameless)} push buttons without a name")
    print("tool buttons:", ", ".join(names))


main()

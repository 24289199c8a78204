"""Goes to line 1 from the end of a long text through the menus, as a keyboard
user does, and checks through the accessibility bus (AT-SPI) that the line
jumped to is in sight: the whole of it within the text control's extents.

Usage: a11y_goto.py   (the program shows a text far longer than its window)
"""
import subprocess
import sys
import time

import pyatspi

from a11y_common import descendants, find_app, wait_for


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True,
                          text=True).stdout


def focus_window(name_pattern):
    wid = xdotool("search", "--sync", "--onlyvisible", "--name", name_pattern).split()[0]
    xdotool("windowfocus", "--sync", wid)
    # Without a window manager the focus arrives a moment after it is set.
    time.sleep(0.5)


def main():
    app = wait_for("Brewpad not on the accessibility bus", find_app)

    def long_text():
        for t in descendants(app, pyatspi.ROLE_TEXT):
            if t.queryText().characterCount > 1000 and t.getState().contains(
                    pyatspi.STATE_SHOWING):
                return t
        return None

    control = wait_for("no text control showing the long text", long_text)
    text = control.queryText()

    def first_line_in_sight():
        view = control.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        # getCharacterExtents answers (x, y, width, height).
        _, top, _, height = text.getCharacterExtents(0, pyatspi.DESKTOP_COORDS)
        return view.y <= top and top + height <= view.y + view.height

    if not first_line_in_sight():
        sys.exit("FAIL: line 1 out of sight at the start")
    focus_window("Tarvik's Brewpad 2.09")
    xdotool("key", "ctrl+End")
    wait_for("Ctrl+End did not take line 1 out of sight", lambda: not first_line_in_sight())

    # Search > Go to Line..., 1, Enter.
    xdotool("key", "alt+s")
    time.sleep(0.5)
    xdotool("key", "g")
    focus_window("^Go to Line$")
    xdotool("type", "1")
    xdotool("key", "Return")
    wait_for("the caret did not go to line 1", lambda: text.caretOffset < 20)
    wait_for("line 1, jumped to from below, is out of sight", first_line_in_sight)
    print("line 1 in sight after Go to Line")


main()

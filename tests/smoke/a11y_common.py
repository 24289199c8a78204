"""What the accessibility readers share: finding the program on the bus and
waiting for what it shows."""
import sys
import time

import pyatspi

TIMEOUT = 30


def wait_for(what, probe):
    """Asks probe again until it answers, or fails the test with what.

    The program registers with the bus a moment after it starts, and each
    key takes a moment to arrive."""
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        try:
            found = probe()
        except Exception:  # the tree is still being built
            found = None
        if found:
            return found
        time.sleep(0.1)
    sys.exit(f"FAIL: {what}")


def find_app():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Brewpad":
            return app
    return None


def descendants(node, role, out=None):
    """Every accessible below node with the given role, in tree order."""
    out = [] if out is None else out
    for child in node:
        if child is None:
            continue
        if child.getRole() == role:
            out.append(child)
        descendants(child, role, out)
    return out

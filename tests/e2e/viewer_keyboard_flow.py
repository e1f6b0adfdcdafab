"""Keyboard only, through the real viewer window: open it from the scanner window, open a
folder from the list with Enter, go back up with Backspace, and close the viewer with Escape,
checking what the list shows after every step."""
import os
import shutil
import sys
import tempfile
import time

import pyatspi

from atspi_helpers import application, key, named, outcome, start, stop, wait_for
from keyboard_flow import focus_name, focused_control, tab_to


def showing(node):
    return node is not None and node.getState().contains(pyatspi.STATE_SHOWING)


def move_to_row(app, name):
    for _ in range(10):
        if focus_name(app) == name:
            return
        key("Down")
        time.sleep(0.15)
    raise AssertionError("the arrow keys never reached the row " + name + "; focus is on %r" % focus_name(app))


def viewer_flow(app_process):
    app = wait_for("the application on the accessibility bus", lambda: application(app_process), 30)
    wait_for("Viewer", lambda: named(app, "Viewer", pyatspi.ROLE_PUSH_BUTTON), 30)
    wait_for("a focused control", lambda: focused_control(app), 20)

    tab_to(app, "Viewer")
    key("Return")
    wait_for("the viewer's list", lambda: named(app, "Entries", pyatspi.ROLE_LIST), 30)
    wait_for("the viewer's first row", lambda: named(app, "Movies", pyatspi.ROLE_LIST_ITEM), 20)

    tab_to(app, "Entries")
    move_to_row(app, "Projects")
    key("Return")
    wait_for("Enter to open Projects and list its folder",
             lambda: named(app, "g_q_y", pyatspi.ROLE_LIST_ITEM) and not named(app, "Movies", pyatspi.ROLE_LIST_ITEM), 20)

    key("BackSpace")
    wait_for("Backspace to go up to the disk", lambda: named(app, "Movies", pyatspi.ROLE_LIST_ITEM)
             and not named(app, "g_q_y", pyatspi.ROLE_LIST_ITEM), 20)

    assert showing(named(app, "Entries", pyatspi.ROLE_LIST)), "the viewer is shown before Escape"
    key("Escape")
    wait_for("Escape to close the viewer", lambda: not showing(named(app, "Entries", pyatspi.ROLE_LIST)), 20)
    wait_for("the scanner window to keep running", lambda: named(app, "Scan Disk", pyatspi.ROLE_PUSH_BUTTON), 10)


def main():
    work = tempfile.mkdtemp(prefix="tallyroom-viewer-keys-")
    home = os.path.join(work, "home")
    tree = os.path.join(home, "Disk")
    for folder in ("Movies", "Projects/g_q_y"):
        os.makedirs(os.path.join(tree, folder))
    with open(os.path.join(tree, "Projects", "g_q_y", "report_final.pdf"), "wb") as f:
        f.truncate(3_000_000)
    app_process, bus, data = start(work, home, tree)
    try:
        return outcome(lambda: viewer_flow(app_process))
    finally:
        stop(app_process, bus)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())

"""Keyboard only, through the real viewer window: open it from the scanner window, open a
folder from the list with Enter, go back up with Backspace, and close the viewer with Escape,
checking what the list shows after every step."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

from atspi_helpers import application, find, find_all, key, named, wait_for
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


def main():
    work = tempfile.mkdtemp(prefix="tallyroom-viewer-keys-")
    home = os.path.join(work, "home")
    tree = os.path.join(home, "Disk")
    for folder in ("Movies", "Projects/g_q_y"):
        os.makedirs(os.path.join(tree, folder))
    with open(os.path.join(tree, "Projects", "g_q_y", "report_final.pdf"), "wb") as f:
        f.truncate(3_000_000)
    runtime = os.path.join(work, "run")
    os.makedirs(runtime, mode=0o700)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_RUNTIME_DIR=runtime,
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1")
    data = os.path.join(home, "Library", "Application Support", "tallyroom")
    scope = subprocess.run([os.environ["E2E_MAKESCOPE"], tree, data], env=env, check=True,
                           capture_output=True, text=True).stdout.strip()

    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env)
    time.sleep(1)
    app_process = subprocess.Popen([os.path.join(os.environ["E2E_BUNDLE"], "Contents/MacOS/tallyroom"),
                                    "--selected-disk", scope], env=env)
    try:
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
        print("1 passed, 0 failed")
        return 0
    except AssertionError as failure:
        print("FAILED:", failure)
        labels = find_all(app, lambda n: n is not None and n.getRole() == pyatspi.ROLE_LABEL)
        print("labels:", [n.name for n in labels][:40])
        print("0 passed, 1 failed")
        return 1
    finally:
        app_process.terminate()
        try:
            app_process.wait(10)
        except subprocess.TimeoutExpired:
            app_process.kill()
        bus.terminate()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())

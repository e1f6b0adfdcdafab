"""Keyboard only, through the real scanner window: scan, select two files with the arrow keys
and Space, open the review and back out with Escape, open it again and delete, checking where
the focus is after every step."""
import os
import shutil
import sys
import tempfile
import time

import pyatspi

from atspi_helpers import application, find, find_all, key, named, outcome, start, stop, wait_for


def focused_nodes(app):
    return find_all(app, lambda n: n is not None and n.getState().contains(pyatspi.STATE_FOCUSED))


def focused_control(app):
    """The focused control (a list rather than its row)."""
    controls = [n for n in focused_nodes(app) if n.getRole() != pyatspi.ROLE_LIST_ITEM]
    return controls[-1] if controls else None


def focused(app):
    """The focused control, or within a focused list its current row."""
    nodes = focused_nodes(app)
    controls = [n for n in nodes if n.getRole() != pyatspi.ROLE_LIST_ITEM]
    if not controls:
        return None
    if controls[-1].getRole() == pyatspi.ROLE_LIST:
        rows = [n for n in nodes if n.getRole() == pyatspi.ROLE_LIST_ITEM]
        return rows[0] if rows else controls[-1]
    return controls[-1]


def focus_name(app):
    node = focused(app)
    return node.name if node is not None else None


def expect_focus(app, name, step):
    try:
        wait_for("focus on " + name, lambda: focus_name(app) == name, 10)
    except AssertionError:
        raise AssertionError("%s: focus is on %r, not %r" % (step, focus_name(app), name))


def tab_to(app, name):
    for _ in range(40):
        control = focused_control(app)
        if control is not None and control.name == name:
            return
        key("Tab")
        time.sleep(0.15)
    raise AssertionError("Tab never reached " + name)


def selected_state(app, name):
    row = named(app, name, pyatspi.ROLE_LIST_ITEM)
    return row is not None and row.description


def keyboard_flow(app_process, big, second, kept):
    app = wait_for("the application on the accessibility bus", lambda: application(app_process), 30)
    wait_for("Scan Disk", lambda: named(app, "Scan Disk", pyatspi.ROLE_PUSH_BUTTON), 30)
    wait_for("a focused control", lambda: focused_control(app), 20)

    tab_to(app, "Scan Disk")
    key("Return")
    wait_for("the scan result", lambda: find(app, lambda n: n is not None and n.name.startswith("Scanned 3 file entries")))
    wait_for("a focused control after the scan", lambda: focused_control(app), 10)

    tab_to(app, "Largest files")
    expect_focus(app, "Select big.mov", "Tab into the list")
    key("space")
    wait_for("big.mov selected", lambda: selected_state(app, "Select big.mov") == "Selected", 10)
    expect_focus(app, "Select big.mov", "after Space")
    key("Down")
    expect_focus(app, "Select report_final.pdf", "after the second arrow")
    key("space")
    wait_for("report_final.pdf selected", lambda: selected_state(app, "Select report_final.pdf") == "Selected", 10)
    expect_focus(app, "Select report_final.pdf", "after the second Space")
    wait_for("the summary", lambda: find(app, lambda n: n is not None and n.name.startswith("2 selected • ")), 10)

    tab_to(app, "Review deletion…")
    key("Return")
    wait_for("the review sheet", lambda: named(app, "Permanently delete 2 selected files?"), 20)
    expect_focus(app, "Cancel", "the review sheet opens on Cancel")
    key("Escape")
    wait_for("the sheet to close", lambda: named(app, "Permanently delete 2 selected files?") is None, 20)
    expect_focus(app, "Review deletion…", "after Escape")

    key("Return")
    wait_for("the review sheet again", lambda: named(app, "Permanently delete 2 selected files?"), 20)
    expect_focus(app, "Cancel", "the second review")
    key("Tab")
    expect_focus(app, "Delete permanently", "Tab in the review sheet")
    key("Return")
    wait_for("both files deleted", lambda: not os.path.exists(big) and not os.path.exists(second))
    wait_for("the deletion summary", lambda: find(app, lambda n: n is not None and n.name.startswith("Deleted 2 of 2.")))
    wait_for("focus back in the list", lambda: focused(app) is not None
             and focused(app).getRole() == pyatspi.ROLE_LIST_ITEM, 10)
    assert os.path.exists(kept)
    print("focus after deleting:", focus_name(app))


def main():
    work = tempfile.mkdtemp(prefix="tallyroom-keys-")
    home = os.path.join(work, "home")
    tree = os.path.join(home, "Disk")
    os.makedirs(os.path.join(tree, "Movies"))
    os.makedirs(os.path.join(tree, "Projects", "g_q_y"))
    big = os.path.join(tree, "Movies", "big.mov")
    second = os.path.join(tree, "Projects", "g_q_y", "report_final.pdf")
    for path, size in ((big, 5_000_000), (second, 3_000_000)):
        with open(path, "wb") as f:
            f.truncate(size)
    kept = os.path.join(tree, "small.txt")
    with open(kept, "wb") as f:
        f.write(b"x" * 1000)
    app_process, bus, data = start(work, home, tree)
    try:
        return outcome(lambda: keyboard_flow(app_process, big, second, kept))
    finally:
        stop(app_process, bus)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())

"""Scans a folder through the real scanner window, selects a file, deletes it through the
review sheet, and checks that the file is gone and the report records it."""
import os
import shutil
import sys
import tempfile

import pyatspi

from atspi_helpers import application, find, named, outcome, press, start, stop, wait_for


def delete_flow(app_process, tree, big, data):
    app = wait_for("the application on the accessibility bus", lambda: application(app_process), 30)
    scan = wait_for("Scan Disk", lambda: named(app, "Scan Disk", pyatspi.ROLE_PUSH_BUTTON), 30)
    press(scan)
    wait_for("the scan result", lambda: find(app, lambda n: n is not None and n.name.startswith("Scanned 2 file entries")))
    row = wait_for("the row of big.mov", lambda: named(app, "Select big.mov"))
    press(row)
    review = wait_for("an enabled Review deletion…", lambda: find(
        app, lambda n: n is not None and n.name == "Review deletion…"
        and n.getState().contains(pyatspi.STATE_ENABLED)))
    press(review)
    delete = wait_for("Delete permanently", lambda: named(app, "Delete permanently", pyatspi.ROLE_PUSH_BUTTON), 20)
    press(delete)
    wait_for("big.mov to be deleted", lambda: not os.path.exists(big))
    status = wait_for("the deletion summary", lambda: find(app, lambda n: n is not None and n.name.startswith("Deleted 1 of 1.")))
    reports = os.listdir(os.path.join(data, "Reports"))
    assert len(reports) == 1, reports
    with open(os.path.join(data, "Reports", reports[0]), encoding="utf-8") as f:
        report = f.read()
    assert "\nDeleted: " + big in report, report
    assert os.path.exists(os.path.join(tree, "small.txt"))
    print("status:", status.name)


def main():
    work = tempfile.mkdtemp(prefix="tallyroom-e2e-")
    home = os.path.join(work, "home")
    tree = os.path.join(home, "Disk")
    os.makedirs(os.path.join(tree, "Movies"))
    big = os.path.join(tree, "Movies", "big.mov")
    with open(big, "wb") as f:
        f.truncate(5_000_000)
    with open(os.path.join(tree, "small.txt"), "wb") as f:
        f.write(b"x" * 1000)
    app_process, bus, data = start(work, home, tree)
    try:
        return outcome(lambda: delete_flow(app_process, tree, big, data))
    finally:
        stop(app_process, bus)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())

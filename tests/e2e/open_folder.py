"""A folder opened from the file manager: with tallyroom installed under a prefix whose share
folder the desktop reads, GIO offers it for folders; launched through GIO on a folder, setup
shows that folder chosen, "Start App" hands over to the installed copy and its scan covers
exactly that folder."""
import os
import shutil
import subprocess
import sys
import tempfile

import pyatspi

from delete_flow import find, named, press, wait_for
from first_run import applications_named, installed_copy, stop_copies_in


def setup_running_from(bundle):
    for app in applications_named("tallyroom"):
        if os.path.realpath("/proc/%d/exe" % app.get_process_id()).startswith(bundle + "/"):
            return app
    return None


def shown_after(app, label):
    row = find(app, lambda n: n is not None and n.name == label)
    if row is None:
        return None
    texts = [child.name for child in row.parent]
    return texts[texts.index(label) + 1]


def main():
    work = tempfile.mkdtemp(prefix="tallyroom-open-folder-")
    home = os.path.join(work, "home")
    prefix = os.path.join(work, "prefix")
    tree = os.path.join(home, "Pictures")
    os.makedirs(tree)
    for name, size in (("a.bin", 3000), ("b.bin", 1000)):
        with open(os.path.join(tree, name), "wb") as f:
            f.write(b"x" * size)
    runtime = os.path.join(work, "run")
    os.makedirs(runtime, mode=0o700)
    share = os.path.join(prefix, "share")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_RUNTIME_DIR=runtime,
               XDG_DATA_HOME=share, XDG_DATA_DIRS=share + ":/usr/share",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1")
    subprocess.run(["cmake", "--install", os.environ["E2E_BUILD"], "--prefix", prefix], check=True,
                   stdout=subprocess.DEVNULL)
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env)
    bundle = os.path.realpath(os.path.join(prefix, "lib", "tallyroom", "tallyroom.app"))
    try:
        listed = subprocess.run(["gio", "mime", "inode/directory"], env=env, check=True, capture_output=True,
                                text=True).stdout
        assert "tallyroom.desktop" in listed, listed
        entry = os.path.join(share, "applications", "tallyroom.desktop")
        subprocess.run(["gio", "launch", entry, tree], env=env, check=True)

        app = wait_for("setup launched through GIO", lambda: setup_running_from(bundle), 30)
        location = wait_for("the chosen folder", lambda: shown_after(app, "Location"), 20)
        assert location == tree, location
        start = wait_for("an enabled Start App", lambda: find(
            app, lambda n: n is not None and n.name == "Start App" and n.getState().contains(pyatspi.STATE_ENABLED)))
        setup_pid = app.get_process_id()
        press(start)

        copy, _ = wait_for("the installed copy's scanner window", lambda: installed_copy(setup_pid), 60)
        press(named(copy, "Scan Disk", pyatspi.ROLE_PUSH_BUTTON))
        wait_for("the scan of the folder", lambda: find(
            copy, lambda n: n is not None and n.name.startswith("Scanned 2 file entries")), 60)
        print("1 passed, 0 failed")
        return 0
    except AssertionError as failure:
        print("FAILED:", failure)
        print("0 passed, 1 failed")
        return 1
    finally:
        stop_copies_in(home)
        stop_copies_in(prefix)
        bus.terminate()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())

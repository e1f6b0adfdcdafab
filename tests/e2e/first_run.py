"""A new user's first run: with an empty home folder, setup offers the disks, the user picks
the first one, keeps the default folders and presses "Start App". The installed copy under
~/Applications starts with the scanner window, and the application menu knows it."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile

import gi
gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402

from delete_flow import find, named, press, wait_for  # noqa: E402


def applications_named(name):
    found = []
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.name == name:
                found.append(app)
        except Exception:
            pass  # an application that has just left the bus
    return found


def stop_copies_in(home):
    """Ends the installed copies this test started: every process running from the home."""
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                if os.path.realpath("/proc/%s/exe" % entry).startswith(home + "/"):
                    os.kill(int(entry), signal.SIGTERM)
            except OSError:
                pass


def setup_of(process):
    if process.poll() is not None:
        raise AssertionError("tallyroom exited early with status %d" % process.returncode)
    for app in applications_named("tallyroom"):
        if app.get_process_id() == process.pid:
            return app
    return None


def key(symbol):
    pyatspi.Registry.generateKeyboardEvent(symbol, None, pyatspi.KEY_SYM)


def choose_first_disk(app):
    """Opens the disk menu and takes its first item with the keyboard, as a person would:
    menus pop up outside the window tree. The button stays pressed while its menu is open."""
    if named(app, "Change selection…", pyatspi.ROLE_PUSH_BUTTON):
        return True
    menu = named(app, "Select a disk…", pyatspi.ROLE_PUSH_BUTTON)
    if menu is None:
        return False
    if not menu.getState().contains(pyatspi.STATE_PRESSED):
        press(menu)
        return False
    key(0xFF54)  # Down: the first item, the startup disk
    key(0xFF0D)  # Return
    return False


def installed_copy(first_pid):
    for app in applications_named("tallyroom"):
        pid = app.get_process_id()
        if pid != first_pid and named(app, "Scan Disk", pyatspi.ROLE_PUSH_BUTTON):
            return app, pid
    return None


def main():
    work = tempfile.mkdtemp(prefix="tallyroom-first-run-")
    home = os.path.join(work, "home")
    os.makedirs(home)
    runtime = os.path.join(work, "run")
    os.makedirs(runtime, mode=0o700)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_RUNTIME_DIR=runtime,
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1")
    env.pop("XDG_DATA_HOME", None)
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env)
    setup_process = subprocess.Popen([os.path.join(os.environ["E2E_BUNDLE"], "Contents/MacOS/tallyroom")], env=env)
    try:
        app = wait_for("setup on the accessibility bus", lambda: setup_of(setup_process), 30)
        wait_for("the volume list", lambda: named(app, "Select a disk…"), 30)
        wait_for("the first disk chosen from the menu", lambda: choose_first_disk(app), 60)
        shown = wait_for("the selected disk's name", lambda: find(
            app, lambda n: n is not None and n.name == "Selected disk"), 20).parent
        texts = [child.name for child in shown]
        disk_name = texts[texts.index("Selected disk") + 1]
        assert disk_name and disk_name not in ("/", "Looking up disk…"), texts
        assert texts[texts.index("Selected disk") + 2] == "/", texts
        start = wait_for("an enabled Start App", lambda: find(
            app, lambda n: n is not None and n.name == "Start App" and n.getState().contains(pyatspi.STATE_ENABLED)))
        press(start)

        wait_for("setup to hand over and quit", lambda: setup_process.poll() is not None, 60)
        assert setup_process.returncode == 0, setup_process.returncode
        copy, copy_pid = wait_for("the installed copy's scanner window", lambda: installed_copy(setup_process.pid), 60)

        bundle = os.path.join(home, "Applications", "tallyroom v1.0.app")
        executable = os.path.join(bundle, "Contents", "MacOS", "tallyroom")
        assert os.path.realpath("/proc/%d/exe" % copy_pid) == executable, os.path.realpath("/proc/%d/exe" % copy_pid)
        assert os.stat(os.path.join(home, "Applications")).st_mode & 0o777 == 0o755

        share = os.path.join(home, ".local", "share")
        entry = Gio.DesktopAppInfo.new_from_filename(os.path.join(share, "applications", "tallyroom.desktop"))
        assert entry is not None, "the desktop entry reads as an application"
        command = GLib.shell_parse_argv(entry.get_commandline())[1]
        assert command == [executable, "%f"], command
        assert entry.get_string("TryExec") == executable
        assert entry.get_startup_wm_class() == "tallyroom"
        assert entry.get_string("Icon") == "tallyroom"
        assert "System" in entry.get_categories().split(";")
        for icon in ("scalable/apps/tallyroom.svg", "16x16/apps/tallyroom.png", "256x256/apps/tallyroom.png"):
            installed = os.path.join(share, "icons", "hicolor", icon)
            with open(installed, "rb") as f, open(os.path.join(bundle, "Contents/Resources/icons/hicolor", icon), "rb") as g:
                assert f.read() == g.read(), installed
        print("selected disk:", disk_name)
        print("1 passed, 0 failed")
        return 0
    except AssertionError as failure:
        print("FAILED:", failure)
        print("0 passed, 1 failed")
        return 1
    finally:
        if setup_process.poll() is None:
            setup_process.terminate()
            setup_process.wait(10)
        stop_copies_in(home)
        bus.terminate()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())

"""What the end-to-end tests share: waiting, finding nodes in the accessibility tree, pressing
them, and typing keys into the focused window."""
import os
import subprocess
import time

import pyatspi

KEYS = {"Tab": 0xff09, "Return": 0xff0d, "Escape": 0xff1b, "Down": 0xff54, "Up": 0xff52, "space": 0x20,
        "BackSpace": 0xff08}


def wait_for(what, condition, seconds=60):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError("timed out waiting for " + what)


def find(root, predicate):
    try:
        return pyatspi.findDescendant(root, predicate, breadth_first=True)
    except Exception:
        return None


def find_all(root, predicate):
    try:
        return pyatspi.findAllDescendants(root, predicate)
    except Exception:
        return []


def named(root, name, role=None):
    return find(root, lambda node: node is not None and node.name == name
                and (role is None or node.getRole() == role))


def press(node):
    action = node.queryAction()
    for index in range(action.nActions):
        if action.getName(index) in ("Press", "press", "click"):
            action.doAction(index)
            return
    action.doAction(0)


def key(name):
    pyatspi.Registry.generateKeyboardEvent(KEYS[name], None, pyatspi.KEY_SYM)


def application(process, name="tallyroom"):
    if process.poll() is not None:
        raise AssertionError("%s exited early with status %d" % (name, process.returncode))
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == name:
            return app
    return None


def start(work, home, tree):
    """Starts tallyroom on the scope of tree, with a private home and accessibility bus; returns
    the application's process, the bus's process and the data folder."""
    runtime = os.path.join(work, "run")
    os.makedirs(runtime, mode=0o700)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_RUNTIME_DIR=runtime,
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1")
    data = os.path.join(home, "Library", "Application Support", "tallyroom")
    scope = subprocess.run([os.environ["E2E_MAKESCOPE"], tree, data], env=env, check=True,
                           capture_output=True, text=True).stdout.strip()
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env)
    time.sleep(1)
    process = subprocess.Popen([os.path.join(os.environ["E2E_BUNDLE"], "Contents/MacOS/tallyroom"),
                                "--selected-disk", scope], env=env)
    return process, bus, data


def stop(process, bus):
    process.terminate()
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
    bus.terminate()


def outcome(flow):
    """Runs a flow, prints the pass and fail lines the runner shows, and returns the exit status."""
    try:
        flow()
        print("1 passed, 0 failed")
        return 0
    except AssertionError as failure:
        print("FAILED:", failure)
        print("0 passed, 1 failed")
        return 1

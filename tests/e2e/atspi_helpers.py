"""What the end-to-end tests share: waiting, finding nodes in the accessibility tree, pressing
them, and typing keys into the focused window."""
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

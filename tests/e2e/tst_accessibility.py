#!/usr/bin/python3
"""Fails on a focusable control without a role or a name in the main window or a dialog it opens,
on a Tab stop a screen reader cannot see, and on a dialog that sends anything to the mouse."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

UNNAMED_ROLES = {pyatspi.ROLE_UNKNOWN, pyatspi.ROLE_INVALID, pyatspi.ROLE_FILLER}


def start_server():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0", "1280x800x24"],
        pass_fds=[write_end])
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise RuntimeError("Xvfb did not report its display")
    return server, ":" + number


def wait_for(what, check, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = check()
        if found:
            return found
        time.sleep(0.2)
    raise RuntimeError("timed out waiting for " + what)


def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # a child that went away while walking
        return []


def showing(node):
    states = node.getState()
    return states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_VISIBLE)


def walk(node):
    found = []
    for child in children(node):
        if child is not None and showing(child):
            found += [child] + walk(child)
    return found


def describe(node):
    return "%s %r" % (node.getRoleName(), node.name)


def program_window():
    # The window is a widget holding the scene, so it may read as a filler.
    return next((window for app in children(pyatspi.Registry.getDesktop(0)) if app is not None
                 for window in children(app)
                 if window is not None and showing(window) and walk(window)), None)


def close_marks(window):
    return {tuple(node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)): node
            for node in walk(window)
            if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name == "Close"}


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click"):
            action.doAction(i)
            return
    raise RuntimeError("no press action on " + describe(node))


def unnamed_controls(window):
    focusable = [n for n in walk(window)
                 if n.getState().contains(pyatspi.STATE_FOCUSABLE) and not is_container(n)]
    bad = [describe(n) for n in focusable
           if n.getRole() in UNNAMED_ROLES or not (n.name or "").strip()]
    return focusable, bad


def is_container(node):
    """The scene's own widget: it holds the focus too, but is no control."""
    return node.getRole() == pyatspi.ROLE_FILLER and node.childCount > 0


def focused(window):
    for node in walk(window):
        if node.getState().contains(pyatspi.STATE_FOCUSED) and not is_container(node):
            return node
    return None


def main():
    executable, modules = sys.argv[1], sys.argv[2]
    failures = []
    home = tempfile.mkdtemp(prefix="skarn-a11y-")
    record = os.path.join(home, "mouse.log")  # the reports the mouse received
    server = program = None
    try:
        # A portable folder: the program keeps its data beside itself.
        shutil.copy(executable, os.path.join(home, "skarn-config"))
        # The window's part lives in a library beside the program.
        gui = os.path.join(os.path.dirname(executable), "libskarn-config-gui.so")
        if os.path.exists(gui):
            shutil.copy(gui, home)
        shutil.copytree(modules, os.path.join(home, "modules"))
        server, display = start_server()
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", HOME=home,
                   XDG_RUNTIME_DIR=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
                   GSETTINGS_BACKEND="memory", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   SKARN_VIRTUAL_MOUSE="553", SKARN_VIRTUAL_MOUSE_RECORD=record)
        os.environ["DISPLAY"] = display
        program = subprocess.Popen([os.path.join(home, "skarn-config")], env=env, cwd=home,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = wait_for("the main window in the accessibility tree", program_window)
        wait_for("the main window's buttons",
                 lambda: any(n.getRole() == pyatspi.ROLE_PUSH_BUTTON for n in walk(window)))

        focusable, bad = unnamed_controls(window)
        failures += ["main window: " + b for b in bad]
        if len(focusable) < 10:
            failures.append("main window: only %d focusable controls" % len(focusable))

        # Tab through the window: every stop is a control the screen reader sees.
        xdotool = ["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(program.pid)]
        window_id = subprocess.run(xdotool, env=env, capture_output=True, text=True,
                                   timeout=30).stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", window_id], env=env, timeout=30)
        stops = []
        for _ in range(len(focusable) + 5):
            subprocess.run(["xdotool", "key", "Tab"], env=env, timeout=30)
            time.sleep(0.15)
            node = focused(window)
            stops.append(describe(node) if node else None)
        print("Tab stops: " + ", ".join(str(s) for s in stops))
        if None in stops:
            failures.append("Tab landed on something the screen reader cannot see")
        if len(set(stops)) < 5:
            failures.append("Tab stays on a few controls: %s" % sorted(set(map(str, stops))))

        # The dialogs the main window opens, each closed again by its close mark.
        dialogs = [("system settings", "System setting"), ("profiles", "Config"),
                   ("button assignment", "Key 4: Forward Key"), ("macro editor", "Macro Editor"),
                   ("gun editor", "Gun Editor")]
        sent = os.path.getsize(record)
        for title, name in dialogs:
            opener = next((n for n in walk(window)
                           if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == name), None)
            if opener is None:
                failures.append("%s: no %r button" % (title, name))
                continue
            before = len(walk(window))
            closes_before = close_marks(window)
            press(opener)
            wait_for(title, lambda: len(walk(window)) != before, 10)
            time.sleep(0.5)
            # The dialog takes the focus: the screen reader says its title.
            node = focused(window)
            print("%s: focus on %s" % (title, describe(node) if node else None))
            if node is None or node.getRole() != pyatspi.ROLE_DIALOG or not node.name:
                failures.append("%s: opens without naming itself" % title)
            failures += ["%s: %s" % (title, b) for b in unnamed_controls(window)[1]]
            close = next((node for extents, node in close_marks(window).items()
                          if extents not in closes_before), None)
            if close is None:
                failures.append("%s: no Close button" % title)
                break
            press(close)
            time.sleep(0.5)
        if os.path.getsize(record) != sent:
            failures.append("opening and closing the dialogs sent reports to the mouse")
    finally:
        for process in (program, server):
            if process is not None and process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
        shutil.rmtree(home, ignore_errors=True)

    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

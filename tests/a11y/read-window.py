#!/usr/bin/python3
# Reads the running window through the accessibility bus, as Orca reads it:
# the grid as a table of the table's size with its captions and row labels as
# headers and every cell as zok2-cli dumps it, a key press reported as the new
# current cell taking the focus, the tabs as page tabs, and the information
# line as its whole sentence. Run by with-accessibility-bus (an X server, a
# D-Bus session and the accessibility bus of its own); the sample is copied
# first and never written.
#
# usage: read-window.py ZOK2 ZOK2-CLI EXAMPLES-DIR
import os
import shutil
import subprocess
import sys
import tempfile
import time

zok2, cli, examples = sys.argv[1:4]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, flush=True)


def wait_for(find, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        try:
            found = find()
        except Exception:  # the window is still coming up
            found = None
        if found:
            return found
        time.sleep(0.2)
    return None


work = tempfile.mkdtemp(prefix="zok2-reader-")
root = os.path.join(work, "set")
shutil.copytree(examples, root, ignore=shutil.ignore_patterns("*.cpp", "CMakeLists.txt", "tools"))
sample = os.path.join(root, "sample.dat")
before = open(sample, "rb").read()

# What the tables show, as the command-line tool prints them.
dump = subprocess.run([cli, "--root", root, "dump", sample, "items"], capture_output=True, text=True, check=True).stdout
lines = [line.split("\t") for line in dump.splitlines()[1:]]
captions, records = lines[0][1:], lines[1:]
sections = subprocess.run([cli, "--root", root, "sections", sample], capture_output=True, text=True, check=True).stdout
table_names = [line.split("\t")[1] for line in sections.splitlines()]
# The window adds the read-only table of the set's checksums after the file's own.
if os.path.exists(os.path.join(root, "Settings", "sample", "checksums.txt")):
    table_names.append("チェックサム")

import pyatspi  # noqa: E402
from gi.repository import GLib  # noqa: E402

env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LANG="ja_JP.UTF-8", LC_ALL="", LANGUAGE="", HOME=work,
           XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_STATE_HOME=os.path.join(work, "state"))
env.pop("QT_QPA_PLATFORM", None)
window = subprocess.Popen([zok2, "--root", root, sample], env=env)


def find(node, role, depth=0):
    if node is None or depth > 10:
        return None
    if node.getRoleName() == role:
        return node
    if node.getRoleName() == "table":
        return None  # a table's cells are not walked
    for i in range(min(node.childCount, 60)):
        hit = find(node.getChildAtIndex(i), role, depth + 1)
        if hit is not None:
            return hit
    return None


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and (app.name or "").lower() == "zok2":
            return app
    return None


try:
    app = wait_for(lambda: application() if window.poll() is None else None)
    check(window.poll() is None, f"the window is running (it ended with {window.returncode})")
    if app is None:
        raise SystemExit(1)
    check(app is not None, "the window is on the accessibility bus")
    grid = wait_for(lambda: find(app, "table"))
    check(grid is not None, "the grid is a table")
    table = grid.queryTable()

    # The table's size, its headers and its first cells, as shown.
    check(table.nRows == len(records), f"rows: {table.nRows}, the table has {len(records)}")
    check(table.nColumns == len(captions), f"columns: {table.nColumns}, the table has {len(captions)}")
    headers = [table.getColumnHeader(c).name for c in range(table.nColumns)]
    check(headers == captions, f"column headers {headers} against {captions}")
    for r in range(3):
        row = [table.getAccessibleAt(r, c).name for c in range(table.nColumns)]
        check(row == records[r][1:], f"row {r}: {row} against {records[r][1:]}")
        label = table.getRowHeader(r).name
        check(label == records[r][0], f"row header {r}: {label} against {records[r][0]}")
    first = table.getAccessibleAt(0, 0)
    check(first.getRoleName() == "table cell", f"a cell's role: {first.getRoleName()}")
    check(first.getState().contains(pyatspi.STATE_SELECTED), "the current cell is selected")

    # The tabs and the information line.
    tabs = find(app, "page tab list")
    check(tabs is not None, "the tabs are a page tab list")
    names = [tabs.getChildAtIndex(i).name for i in range(tabs.childCount)]
    check(names == table_names, f"tabs {names} against {table_names}")
    check(all(tabs.getChildAtIndex(i).getRoleName() == "page tab" for i in range(tabs.childCount)), "every tab is a page tab")
    check(tabs.getChildAtIndex(0).getState().contains(pyatspi.STATE_SELECTED), "the first tab is the current one")
    status = find(app, "status bar")
    info = [status.getChildAtIndex(i).name for i in range(status.childCount) if status.getChildAtIndex(i).name]
    check(any(records[0][0] in text and captions[0] in text for text in info), f"the information line {info}")

    # A key press: the cell below takes the focus and the reader hears of it.
    focused = []

    def heard(event):
        if event.type.startswith("object:state-changed:focused") and event.detail1 == 1:
            focused.append(event.source.name)

    pyatspi.Registry.registerEventListener(heard, "object:state-changed:focused")
    win_id = subprocess.run(["xdotool", "search", "--sync", "--name", "sample.dat - ZOK2"], capture_output=True, text=True).stdout.split()[0]

    def listen_while(keys, seconds):
        # The keys go to the window while the reader's events are gathered for a while.
        def send():
            subprocess.run(["xdotool", "windowfocus", "--sync", win_id])
            for key in keys:
                time.sleep(0.5)
                subprocess.run(["xdotool", "key", "--window", win_id, key])
            return False

        focused.clear()
        GLib.timeout_add(300, send)
        GLib.timeout_add(seconds * 1000, lambda: pyatspi.Registry.stop())
        pyatspi.Registry.start()

    listen_while(["Down"], 4)
    check(records[1][1] in focused, f"the focus went to the second record's first value {records[1][1]}: heard {focused}")
    now = table.getAccessibleAt(1, 0)
    check(now.getState().contains(pyatspi.STATE_FOCUSED), "the second record's cell is focused")
    info = [status.getChildAtIndex(i).name for i in range(status.childCount) if status.getChildAtIndex(i).name]
    check(any(records[1][0] in text for text in info), f"the information line follows the move: {info}")

    # A digit typed: the in-place edit takes the focus, named after its cell; Escape leaves the file alone.
    listen_while(["7", "Escape"], 4)
    edit_name = f"{captions[0]} {records[1][0]} の編集"
    check(edit_name in focused, f"the in-place edit is reached as {edit_name!r}: heard {focused}")
finally:
    window.terminate()
    window.wait(timeout=20)

check(open(sample, "rb").read() == before, "the sample is unchanged")
shutil.rmtree(work, ignore_errors=True)
print("screen reader:", "ok" if not failures else f"{len(failures)} failed")
sys.exit(1 if failures else 0)

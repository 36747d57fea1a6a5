#!/usr/bin/env python3
"""The work kept across exits, with the real program on an X display: a session is killed
(SIGKILL) after a move and a temporary save; the next session opens what it left with Ctrl+O
in the Japanese file dialog and shows the same position. Then two files dropped on the window
from another program: the first is read. Last, two programs at once: the second keeps its work
beside the first's, neither moves or overwrites the other's, and both are on disk after both
end.

Run under a virtual display: scripts/virtual-display.sh 1280x1024 e2e_files.py PROGRAM
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

from e2e_play import GREEN, cell_pixel, client_origin, press, screen_when
from x_display import Screen, check, find_window, finish, geometry, run
from x_drop import Dropper


def sections(text):
    """The positions of a position file: lists of lines between the [-] separators."""
    positions, current = [], []
    for line in text.splitlines():
        if line == "[-]":
            positions.append(current)
            current = []
        else:
            current.append(line)
    return positions


def field_rows(position):
    """1P's cell rows of a position (after [M] and its size line)."""
    start = position.index("[M]") + 2
    return position[start:start + 15]


def wait_for(what, ready, timeout=15.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = ready()
        if value:
            return value
        time.sleep(0.1)
    sys.exit(f"timed out waiting for {what}")


def read(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except OSError:
        return ""


def window_of(app, timeout=10.0):
    """The main window of one program among several with the same title."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                                str(app.pid), "--name", "^ぺてりん$"],
                               capture_output=True, text=True).stdout.split()
        if found:
            return found[0]
        time.sleep(0.1)
    sys.exit("a main window did not appear")


def bottom_rows(path):
    kept = sections(read(path))
    return field_rows(kept[0])[-2:] if kept else []


def two_programs(program, workdir, env, state):
    """A plays; B starts while A runs and plays too; A stores; both end, B first."""
    last, beside = os.path.join(state, "last.dat"), os.path.join(state, "last-2.dat")
    a = subprocess.Popen([program], cwd=workdir, env=env)
    b = None
    try:
        window_a = window_of(a)
        run("xdotool", "windowfocus", "--sync", window_a)
        time.sleep(0.5)
        press(window_a, "w", "Down")
        wait_for("A's pair in last.dat", lambda: bottom_rows(last) == ["--G---"] * 2)
        work_a = read(last)

        b = subprocess.Popen([program], cwd=workdir, env=env)
        window_b = window_of(b)
        check("A's live work left where it is by B's start", read(last), work_a)
        run("xdotool", "windowfocus", "--sync", window_b)
        time.sleep(0.5)
        press(window_b, "w", "Left", "Down")
        wait_for("B's pair in its own file", lambda: bottom_rows(beside) == ["-G----"] * 2)
        work_b = read(beside)
        check("A's work untouched by B's", read(last), work_a)

        run("xdotool", "windowfocus", "--sync", window_a)
        time.sleep(0.3)
        press(window_a, "k")
        work_a = wait_for("A's temporary save", lambda: len(sections(read(last))) == 2
                          and read(last))
        check("B's work untouched by A's", read(beside), work_b)
    finally:
        for app in (b, a):
            if app:
                app.terminate()
                app.wait(timeout=10)
    check("A's work after both ended", read(last), work_a)
    check("B's work after both ended", read(beside), work_b)


def main():
    program = os.path.abspath(sys.argv[1])
    keep = os.environ.get("PETERIN_E2E_SHOTS")
    with tempfile.TemporaryDirectory() as scratch:
        workdir = keep or scratch
        env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0", XDG_STATE_HOME=scratch,
                   XDG_CONFIG_HOME=scratch)
        state = os.path.join(scratch, "peterin")
        last = os.path.join(state, "last.dat")

        # First session: play mode, the first pair (green over green) dropped straight down in
        # the third column, then stored; killed without a chance to save anything.
        app = subprocess.Popen([program], cwd=workdir, env=env)
        try:
            window = find_window("ぺてりん") or sys.exit("the main window did not appear")
            run("xdotool", "windowfocus", "--sync", window)
            time.sleep(0.5)
            press(window, "w", "Down")
            wait_for("the pair to land in last.dat",
                     lambda: len(sections(read(last))) == 1
                     and field_rows(sections(read(last))[0])[-2:] == ["--G---"] * 2)
            press(window, "k")
            kept = wait_for("the temporary save in last.dat",
                            lambda: len(sections(read(last))) == 2 and read(last))
        finally:
            app.send_signal(signal.SIGKILL)
            app.wait(timeout=10)
        live, stored = sections(kept)
        check("stored position is the live one", stored, live[live.index("[M]"):])
        check("bottom of the kept field", field_rows(live)[-2:], ["--G---"] * 2)

        # Second session: the killed one's work is kept aside and read back through the dialog.
        app = subprocess.Popen([program], cwd=workdir, env=env)
        try:
            window = find_window("ぺてりん") or sys.exit("the main window did not appear")
            run("xdotool", "windowfocus", "--sync", window)
            time.sleep(0.5)
            previous = os.path.join(state, "previous.dat")
            check("previous run's work kept aside", read(previous), kept)
            press(window, "ctrl+o")
            dialog = find_window("名前を付けてファイルを保存")
            check("open dialog shown by Ctrl+O", dialog is not None, True)
            if dialog:
                time.sleep(0.5)
                # Kept for a look by eye: the buttons read 開く and キャンセル.
                Screen(workdir, "open_dialog")
                run("xdotool", "type", "--delay", "20", previous)
                press(dialog, "Return")
                titled = find_window("previous.dat - ぺてりん")
                check("title after opening", titled is not None, True)
                screen = Screen(workdir, "reopened")
                origin = client_origin(screen, window)
                screen = screen_when(workdir, "reopened",
                                     lambda s: cell_pixel(s, origin, 2, 11) == GREEN)
                check("reopened bottom", [cell_pixel(screen, origin, 2, r) for r in (10, 11)],
                      [GREEN, GREEN])

            dropped = [os.path.join(scratch, name) for name in ("dropped.dat", "second.dat")]
            for path in dropped:
                with open(path, "w") as f:
                    f.write("[M]\n6, 12\n" + "------\n" * 15)
            x, y, width, height = geometry(window)
            dropper = Dropper()
            check("drop accepted", dropper.drop(int(window), x + width // 2, y + height // 2,
                                                dropped), True)
            dropper.close()
            check("title after the drop", find_window("dropped.dat - ぺてりん") is not None, True)
        finally:
            app.terminate()
            app.wait(timeout=10)
        two_programs(program, workdir, env, state)
    finish("files")


if __name__ == "__main__":
    main()

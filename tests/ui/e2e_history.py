#!/usr/bin/env python3
"""Undo and redo in the real program, with real mouse clicks and key presses.

Run under a virtual display: scripts/virtual-display.sh 1280x1024 e2e_history.py PROGRAM
The program starts in an empty directory, so every setting has its default: 6 x 12 cells of
40 pixels with both bands shown, random position 0 (first pairs green/green, then green/red).
"""
import os
import subprocess
import sys
import tempfile
import time

from x_display import Screen, check, find_window, finish, geometry, run

ORANGE = (0xFF, 0x96, 0x32)  # 背景色
BLACK = (0, 0, 0)
GREEN = (0, 0xFF, 0)

CELL = 40
FIELD_LEFT, FIELD_TOP = 5, 40  # the 1P field view in the client area
BANDS = 2
CLIENT_HEIGHT = 605  # the status bar begins below it

def client_origin(screen, window):
    x, y = geometry(window)[:2]
    for dy in range(0, 100):
        if screen.at(x + 1, y + dy) == ORANGE:
            return x, y + dy
    sys.exit("no client area found")


def cell_pixel(screen, origin, column, row):
    x = origin[0] + FIELD_LEFT + column * CELL + 8
    y = origin[1] + FIELD_TOP + (row + BANDS) * CELL + 8
    return screen.at(x, y)


def field(screen, origin):
    """Rows -1 (the falling pair's upper blob) to 11 of 1P's field."""
    return [[cell_pixel(screen, origin, c, r) for c in range(6)] for r in range(-1, 12)]


def status_bar(screen, origin):
    """Every pixel of the 1P half of the status bar: its chain count and score."""
    return [screen.at(origin[0] + x, origin[1] + CLIENT_HEIGHT + y)
            for y in range(2, 18) for x in range(0, 290)]


def screen_when(workdir, name, ready, timeout=15.0):
    deadline = time.monotonic() + timeout
    while True:
        screen = Screen(workdir, name)
        if ready(screen) or time.monotonic() > deadline:
            return screen
        time.sleep(0.1)


def press(*keys):
    for key in keys:
        run("xdotool", "key", "--delay", "30", key)
        time.sleep(0.05)


def click_cell(origin, column, row):
    x = origin[0] + FIELD_LEFT + column * CELL + 20
    y = origin[1] + FIELD_TOP + (row + BANDS) * CELL + 20
    run("xdotool", "mousemove", str(x), str(y))
    time.sleep(0.1)
    run("xdotool", "click", "1")
    time.sleep(0.1)
    # The edit cursor follows the mouse: it is left in the HeavenArea, off the checked cells.
    run("xdotool", "mousemove", str(origin[0] + FIELD_LEFT + 5 * CELL + 20),
        str(origin[1] + FIELD_TOP + 20))
    time.sleep(0.1)


def main():
    program = os.path.abspath(sys.argv[1])
    keep = os.environ.get("PETERIN_E2E_SHOTS")  # a folder to keep the screenshots in
    with tempfile.TemporaryDirectory() as scratch:
        workdir = keep or scratch
        # The program's own folders go into the scratch folder, not the user's home.
        env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0", XDG_STATE_HOME=scratch,
                   XDG_CONFIG_HOME=scratch)
        app = subprocess.Popen([program], cwd=workdir, env=env)
        try:
            window = find_window("ぺてりん")
            if window is None:
                sys.exit("the main window did not appear")
            run("xdotool", "windowfocus", "--sync", window)
            time.sleep(0.5)
            screen = screen_when(workdir, "start", lambda s: s.at(1, 1) != BLACK)
            origin = client_origin(screen, window)

            # Two green blobs at the bottom left, a third high up; Ctrl+Z takes the third back.
            press("4")
            click_cell(origin, 0, 11)
            click_cell(origin, 1, 11)
            click_cell(origin, 3, 5)
            screen = screen_when(workdir, "painted",
                                 lambda s: cell_pixel(s, origin, 3, 5) == GREEN)
            check("painted cell", cell_pixel(screen, origin, 3, 5), GREEN)
            press("ctrl+z")
            screen = screen_when(workdir, "paint_undone",
                                 lambda s: cell_pixel(s, origin, 3, 5) == BLACK)
            check("cell after Ctrl+Z", cell_pixel(screen, origin, 3, 5), BLACK)
            check("earlier strokes kept", [cell_pixel(screen, origin, c, 11) for c in (0, 1)],
                  [GREEN, GREEN])

            # Play: the green pair drops beside the greens; four vanish and score.
            press("1", "w")
            screen = screen_when(workdir, "before_drop",
                                 lambda s: cell_pixel(s, origin, 2, 0) == GREEN)
            before_field, before_status = field(screen, origin), status_bar(screen, origin)
            press("Down")
            screen = screen_when(workdir, "after_chain",
                                 lambda s: cell_pixel(s, origin, 0, 11) == BLACK
                                 and status_bar(s, origin) != before_status
                                 and cell_pixel(s, origin, 2, 0) != BLACK)
            after_field, after_status = field(screen, origin), status_bar(screen, origin)
            check("the chain cleared the greens", after_field[12][:3], [BLACK] * 3)
            check("the score changed", after_status != before_status, True)

            press("ctrl+z")
            screen = screen_when(workdir, "turn_undone",
                                 lambda s: field(s, origin) == before_field
                                 and status_bar(s, origin) == before_status)
            check("field after undoing the turn", field(screen, origin), before_field)
            check("status bar after undoing the turn",
                  status_bar(screen, origin) == before_status, True)

            press("ctrl+y")
            screen = screen_when(workdir, "turn_redone",
                                 lambda s: field(s, origin) == after_field
                                 and status_bar(s, origin) == after_status)
            check("field after redoing the turn", field(screen, origin), after_field)
            check("status bar after redoing the turn",
                  status_bar(screen, origin) == after_status, True)

            # Nothing is left to redo: Ctrl+Shift+Z is greyed out, and its Z must not turn the
            # pair as the plain Z would.
            press("ctrl+shift+z")
            time.sleep(0.5)
            screen = Screen(workdir, "greyed_redo")
            check("pair after a greyed-out Ctrl+Shift+Z", field(screen, origin), after_field)
            press("z")
            screen = screen_when(workdir, "plain_z",
                                 lambda s: field(s, origin) != after_field)
            check("plain Z still turns the pair", field(screen, origin) != after_field, True)
        finally:
            app.terminate()
            app.wait(timeout=10)
    finish("history")


if __name__ == "__main__":
    main()

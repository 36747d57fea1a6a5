#!/usr/bin/env python3
"""Plays the real program on an X display with real key presses and mouse clicks, and checks
the screen.

Run under a virtual display: scripts/virtual-display.sh 1280x1024 e2e_play.py PROGRAM
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
RED = (0xFF, 0, 0)
WHITE = (0xFF, 0xFF, 0xFF)        # HeavenArea, empty
LIMBO = (0x96, 0xFF, 0xFF)        # LimboArea, empty

CELL = 40
FIELD_LEFT, FIELD_TOP = 5, 40  # the 1P field view in the client area
BANDS = 2


MAIN = []  # the main window's id, once found


def wait_for_window():
    found = find_window("ぺてりん")
    if found is None:
        sys.exit("the main window did not appear")
    MAIN.append(found)
    return found


def client_origin(screen, window):
    geometry = run("xdotool", "getwindowgeometry", "--shell", window)
    values = dict(line.split("=") for line in geometry.split())
    x, y = int(values["X"]), int(values["Y"])
    # The client area begins under the menu bar with its background margin.
    for dy in range(0, 100):
        if screen.at(x + 1, y + dy) == ORANGE:
            return x, y + dy
    sys.exit("no client area found")


def client_width(screen, origin):
    # The tool window beside the main window has the same background, so the background is
    # followed only up to the main window's right edge.
    right = origin[0] + geometry(MAIN[0])[2]
    width = 0
    while origin[0] + width < right and screen.at(origin[0] + width, origin[1] + 1) == ORANGE:
        width += 1
    return width


def cell_pixel(screen, origin, column, row):
    # A point inside the cell away from its centre, where a landing mark may sit.
    x = origin[0] + FIELD_LEFT + column * CELL + 8
    y = origin[1] + FIELD_TOP + (row + BANDS) * CELL + 8
    return screen.at(x, y)


def field_row(screen, origin, row):
    return [cell_pixel(screen, origin, c, row) for c in range(6)]


def screen_when(workdir, name, ready, timeout=15.0):
    """The first screenshot that shows `ready`, so slow machines only wait longer; after the
    timeout the last one, whose checks then report what is wrong."""
    deadline = time.monotonic() + timeout
    while True:
        screen = Screen(workdir, name)
        if ready(screen) or time.monotonic() > deadline:
            return screen
        time.sleep(0.1)


def press(window, *keys):
    for key in keys:
        run("xdotool", "key", "--delay", "30", key)
        time.sleep(0.05)


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
            window = wait_for_window()
            run("xdotool", "windowfocus", "--sync", window)
            time.sleep(0.5)

            # Edit mode: the field is empty, the window is one side wide.
            screen = screen_when(workdir, "start", lambda s: s.at(1, 1) != BLACK)
            origin = client_origin(screen, window)
            screen = screen_when(workdir, "start",
                                 lambda s: cell_pixel(s, origin, 0, -2) == WHITE)
            check("client width at start", client_width(screen, origin), 295)
            height = 0
            while screen.at(origin[0] + 1, origin[1] + height) == ORANGE:
                height += 1
            check("client height above the status bar", height, 605)
            check("HeavenArea", cell_pixel(screen, origin, 0, -2), WHITE)
            check("LimboArea", cell_pixel(screen, origin, 0, -1), LIMBO)
            check("bottom row at start", field_row(screen, origin, 11), [BLACK] * 6)

            # The mouse paints a red blob high in the first column; edit mode leaves it floating.
            press(window, "2")
            x = origin[0] + FIELD_LEFT + 20
            y = origin[1] + FIELD_TOP + (5 + BANDS) * CELL + 20
            run("xdotool", "mousemove", str(x), str(y))
            time.sleep(0.1)
            run("xdotool", "click", "1")
            screen = screen_when(workdir, "painted",
                                 lambda s: cell_pixel(s, origin, 0, 5) == RED)
            check("painted cell", cell_pixel(screen, origin, 0, 5), RED)
            check("bottom row after painting", field_row(screen, origin, 11), [BLACK] * 6)
            # Back to painting nothing, so no cursor shows in play mode.
            press(window, "1")

            # Play mode: the field settles first, then the first pair (green over green) waits
            # in the third column.
            press(window, "w")
            screen = screen_when(workdir, "play",
                                 lambda s: cell_pixel(s, origin, 0, 11) == RED
                                 and cell_pixel(s, origin, 2, 0) == GREEN)
            check("pivot at spawn", cell_pixel(screen, origin, 2, 0), GREEN)
            check("painted blob fell to the bottom", cell_pixel(screen, origin, 0, 11), RED)
            check("painted blob left its cell", cell_pixel(screen, origin, 0, 5), BLACK)
            # The falling pair is drawn in its own colour over the band.
            check("upper blob at spawn", cell_pixel(screen, origin, 2, -1), GREEN)

            # One column left, turned clockwise (the upper blob goes right of the pivot),
            # dropped: the pair lies flat in columns 1 and 2 of the bottom row.
            press(window, "Left", "x", "Down")
            landed = [RED, GREEN, GREEN, BLACK, BLACK, BLACK]
            screen = screen_when(workdir, "dropped",
                                 lambda s: field_row(s, origin, 11) == landed
                                 and cell_pixel(s, origin, 2, 0) != BLACK)
            check("bottom row after the drop", field_row(screen, origin, 11), landed)
            check("row above the pair", field_row(screen, origin, 10), [BLACK] * 6)
            # The next pair (green and red) is loaded at the spawn point.
            spawn = {cell_pixel(screen, origin, 2, 0), cell_pixel(screen, origin, 2, -1)}
            check("colours of the second pair", len(spawn), 2)

            # Battle shows 2P beside 1P: the window widens to both sides.
            press(window, "e")
            screen = screen_when(workdir, "battle", lambda s: client_width(s, origin) == 585)
            check("client width in battle", client_width(screen, origin), 585)

            # The tool window sits at the main window's top-right corner; its "Edit" button
            # narrows the window again and hands the keyboard straight back, so "e" reaches
            # the main window and widens it once more.
            tool = run("xdotool", "search", "--onlyvisible", "--name", "^ツール$").split()
            check("tool window shown", len(tool), 1)
            if tool:
                main_x, main_y, main_w = geometry(window)[:3]
                tool_x, tool_y = geometry(tool[0])[:2]
                check("tool window at the top-right corner", (tool_x, tool_y),
                      (main_x + main_w, main_y))
                run("xdotool", "mousemove", str(tool_x + 42), str(tool_y + 305))
                time.sleep(0.1)
                run("xdotool", "click", "1")
                screen = screen_when(workdir, "tool_edit",
                                     lambda s: client_width(s, origin) == 295)
                check("client width after the tool's Edit", client_width(screen, origin), 295)
                press(window, "e")
                screen = screen_when(workdir, "keys_after_tool",
                                     lambda s: client_width(s, origin) == 585)
                check("client width after e following a tool click",
                      client_width(screen, origin), 585)
        finally:
            app.terminate()
            app.wait(timeout=10)
    finish("play")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Paints with left-button drags that cross the fields' edges, and chooses edit colours with the
number row under French and Japanese keyboard layouts, in the real program on an X display.

Run under a virtual display: scripts/virtual-display.sh 1280x1024 e2e_input.py PROGRAM
Each run starts the program in an empty directory (default settings: 6 x 12 cells of 40
pixels, both bands shown; the keys 1, 2, 3 choose empty, red and blue).
"""
import ctypes
import os
import subprocess
import sys
import tempfile
import time

from x_display import Screen, check, find_window, finish, geometry, run

ORANGE = (0xFF, 0x96, 0x32)  # 背景色
BLACK = (0, 0, 0)
RED = (0xFF, 0, 0)
BLUE = (0, 0, 0xFF)
WHITE = (0xFF, 0xFF, 0xFF)  # HeavenArea, empty

CELL = 40
BANDS = 2
FIELD_TOP = 40
FIELD_LEFT = (5, 345)  # 1P and 2P field views in the client area

class Program:
    """The program started in its own empty directory, with an optional 設定.ini."""

    def __init__(self, program, workdir, ini=None):
        if ini is not None:
            with open(os.path.join(workdir, "設定.ini"), "wb") as f:
                f.write(ini.encode("cp932"))
        env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
        self.workdir = workdir
        self.app = subprocess.Popen([program], cwd=workdir, env=env)
        self.window = find_window("ぺてりん")
        if self.window is None:
            self.close()
            sys.exit("the main window did not appear")
        run("xdotool", "windowfocus", "--sync", self.window)
        time.sleep(0.5)
        x, y = geometry(self.window)[:2]
        screen = self.screen("start", lambda s: s.at(x + 1, y + 60) == ORANGE)
        # The client area begins under the menu bar.
        self.origin = (x, y + next(dy for dy in range(100) if screen.at(x + 1, y + dy) == ORANGE))

    def close(self):
        self.app.terminate()
        self.app.wait(timeout=10)

    def screen(self, name, ready=lambda s: True, timeout=10.0):
        deadline = time.monotonic() + timeout
        while True:
            screen = Screen(self.workdir, name)
            if ready(screen) or time.monotonic() > deadline:
                return screen
            time.sleep(0.1)

    def cell_point(self, player, column, row):
        """A point inside a cell, away from its centre, where the edit cursor also covers."""
        return (self.origin[0] + FIELD_LEFT[player] + column * CELL + 8,
                self.origin[1] + FIELD_TOP + (row + BANDS) * CELL + 8)

    def cell(self, screen, player, column, row):
        return screen.at(*self.cell_point(player, column, row))

    def keys(self, *keys):
        for key in keys:
            run("xdotool", "key", "--delay", "30", key)
            time.sleep(0.1)

    def move(self, x, y):
        run("xdotool", "mousemove", str(x), str(y))
        time.sleep(0.15)

    def drag(self, points):
        """Left button down at the first point, moved through the others, up at the last."""
        self.move(*points[0])
        run("xdotool", "mousedown", "1")
        time.sleep(0.15)
        for point in points[1:]:
            self.move(*point)
        run("xdotool", "mouseup", "1")
        time.sleep(0.15)

    def click_cell(self, player, column, row):
        self.move(*self.cell_point(player, column, row))
        run("xdotool", "click", "1")
        time.sleep(0.15)


def drags(program, workdir):
    p = Program(program, workdir)
    try:
        margin = (p.origin[0] + 2, p.origin[1] + 300)
        p.keys("2")  # red
        # From the margin into 1P's field: every cell entered is painted.
        p.move(*p.cell_point(0, 5, 0))
        p.drag([margin] + [p.cell_point(0, c, 5) for c in range(3)])
        screen = p.screen("from_margin", lambda s: p.cell(s, 0, 2, 5) == RED)
        check("row 5 after a drag from the margin",
              [p.cell(screen, 0, c, 5) for c in range(4)], [RED, RED, RED, BLACK])

        # In battle, from 1P's field into 2P's: the first cell entered only takes the cursor
        # over, the next one is painted.
        p.keys("e")
        p.screen("battle", lambda s: p.cell(s, 1, 0, -2) == WHITE)
        p.drag([p.cell_point(0, 5, 8), p.cell_point(1, 0, 8), p.cell_point(1, 1, 8)])
        screen = p.screen("into_2p", lambda s: p.cell(s, 1, 1, 8) == RED)
        check("2P row 8 after a drag from 1P",
              [p.cell(screen, 1, c, 8) for c in range(3)], [BLACK, RED, BLACK])

        # Out of the field onto the margin: the cursor stays on the last field cell, so after
        # choosing blue it shows there in blue.
        p.drag([p.cell_point(0, 4, 3), p.cell_point(0, 4, 4), margin])
        p.keys("3")
        screen = p.screen("left_the_field", lambda s: p.cell(s, 0, 4, 4) == BLUE)
        check("cursor on the last field cell", p.cell(screen, 0, 4, 4), BLUE)
        check("cell painted before leaving", p.cell(screen, 0, 4, 3), RED)
    finally:
        p.close()


def hold_display():
    """An X connection kept open: a server left without clients resets, and with it the
    keyboard layout that setxkbmap set."""
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    return x11.XOpenDisplay(None)


def layouts(program, workdir):
    held = hold_display()
    if not held:
        sys.exit("cannot open the display")
    # French: the number row types &, é, " and so on, yet stays the keys 1, 2, 3.
    run("setxkbmap", "fr")
    p = Program(program, os.path.join(workdir, "fr"))
    try:
        p.keys("eacute")  # the "2" key: red
        p.click_cell(0, 0, 11)
        p.keys("quotedbl")  # the "3" key: blue
        p.click_cell(0, 1, 11)
        p.keys("eacute")
        p.click_cell(0, 2, 11)
        p.keys("ampersand")  # the "1" key: empty
        p.click_cell(0, 2, 11)
        screen = p.screen("fr", lambda s: p.cell(s, 0, 1, 11) == BLUE)
        check("French number row", [p.cell(screen, 0, c, 11) for c in range(3)],
              [RED, BLUE, BLACK])
    finally:
        p.close()

    # Japanese: Shift+0 types "~" like the "^" key, yet stays the "0" key.
    run("setxkbmap", "jp")
    p = Program(program, os.path.join(workdir, "jp"), "[操作]\r\n赤= 0x30\r\n青= 0xDE\r\n")
    try:
        p.keys("shift+0")  # red
        p.click_cell(0, 0, 11)
        p.keys("asciicircum")  # the "^" key: blue
        p.click_cell(0, 1, 11)
        screen = p.screen("jp", lambda s: p.cell(s, 0, 1, 11) == BLUE)
        check("Japanese Shift+0 and ^", [p.cell(screen, 0, c, 11) for c in range(2)],
              [RED, BLUE])
    finally:
        p.close()
        run("setxkbmap", "us")


def main():
    program = os.path.abspath(sys.argv[1])
    keep = os.environ.get("PETERIN_E2E_SHOTS")  # a folder to keep the screenshots in
    with tempfile.TemporaryDirectory() as scratch:
        workdir = keep or scratch
        for name in ("drags", "fr", "jp"):
            os.makedirs(os.path.join(workdir, name), exist_ok=True)
        drags(program, os.path.join(workdir, "drags"))
        layouts(program, workdir)
    finish("input")


if __name__ == "__main__":
    main()

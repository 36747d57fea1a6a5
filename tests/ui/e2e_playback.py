#!/usr/bin/env python3
"""Pauses a chain in the real program and steps it tick by tick with the menu's shortcuts.

Run under a virtual display: scripts/virtual-display.sh 1280x1024 e2e_playback.py PROGRAM
"""
import os
import subprocess
import sys
import tempfile
import time

from x_display import Screen, check, find_window, finish, geometry, run

ORANGE = (0xFF, 0x96, 0x32)  # 背景色
BLACK = (0, 0, 0)
RED = (0xFF, 0, 0)
CELL = 40
FIELD_LEFT, FIELD_TOP = 5, 40  # the 1P field view in the client area
BANDS = 2

def press(*keys):
    for key in keys:
        run("xdotool", "key", "--delay", "30", key)
        time.sleep(0.05)


def title(window):
    return run("xdotool", "getwindowname", window).strip()


def main():
    program = os.path.abspath(sys.argv[1])
    keep = os.environ.get("PETERIN_E2E_SHOTS")  # a folder to keep the screenshots in
    with tempfile.TemporaryDirectory() as scratch:
        workdir = keep or scratch
        env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
        app = subprocess.Popen([program], cwd=workdir, env=env)
        try:
            window = find_window("ぺてりん")
            if window is None:
                sys.exit("the main window did not appear")
            run("xdotool", "windowfocus", "--sync", window)
            time.sleep(0.5)
            x, y = geometry(window)[:2]
            screen = Screen(workdir, "start")
            top = next(dy for dy in range(100) if screen.at(x + 1, y + dy) == ORANGE)
            origin = (x, y + top)

            def cell(screen, column, row):
                return screen.at(origin[0] + FIELD_LEFT + column * CELL + 8,
                                 origin[1] + FIELD_TOP + (row + BANDS) * CELL + 8)

            def bottom_row(screen):
                return [cell(screen, c, 11) for c in range(6)]

            def field_pixels(screen):
                left, top = origin[0] + FIELD_LEFT, origin[1] + FIELD_TOP
                return [screen.at(left + i, top + j)
                        for j in range(0, 14 * CELL, 4) for i in range(0, 6 * CELL, 4)]

            # Four reds painted in the bottom row vanish as soon as play mode settles the field.
            press("2")
            for column in range(4):
                run("xdotool", "mousemove", str(origin[0] + FIELD_LEFT + column * CELL + 20),
                    str(origin[1] + FIELD_TOP + (11 + BANDS) * CELL + 20))
                time.sleep(0.05)
                run("xdotool", "click", "1")
            press("1")
            # At a quarter of the speed the group shows for about 0.8 s: time to pause in it.
            press("ctrl+1", "w", "ctrl+p")
            check("title while paused", title(window), "ぺてりん [一時停止]")

            first = Screen(workdir, "paused_a")
            time.sleep(0.2)
            second = Screen(workdir, "paused_b")
            check("the group is still shown", bottom_row(first), [RED] * 4 + [BLACK] * 2)
            check("nothing moves while paused", field_pixels(second) == field_pixels(first), True)

            # One tick at a time until the group vanishes; the ticks of "連結中" and "消去後"
            # make that at most 47 steps.
            steps = 0
            screen = second
            while bottom_row(screen) != [BLACK] * 6 and steps < 60:
                press("ctrl+Right")
                steps += 1
                screen = Screen(workdir, "step")
            check("the group vanished by stepping", bottom_row(screen), [BLACK] * 6)
            check("stepping took more than one tick", steps > 1, True)

            press("ctrl+3", "ctrl+p")
            check("title once resumed", title(window), "ぺてりん")
            # The pair keys act again once the turn is over: the first pair drops into the
            # third column.
            time.sleep(0.5)
            press("Down")
            deadline = time.monotonic() + 10
            while True:
                screen = Screen(workdir, "resumed")
                if cell(screen, 2, 11) != BLACK or time.monotonic() > deadline:
                    break
                time.sleep(0.1)
            check("the pair dropped after resuming", cell(screen, 2, 11) != BLACK, True)
        finally:
            app.terminate()
            app.wait(timeout=10)
    finish("playback")


if __name__ == "__main__":
    main()

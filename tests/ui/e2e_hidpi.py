#!/usr/bin/env python3
"""Runs the real program at scale 1 and at scale 2 (QT_SCALE_FACTOR) through the same key
presses and checks that every view at scale 2 is the scale-1 picture pixel-doubled: each pixel
a 2 x 2 block of the same colour, nothing blurred. The tool window's button pictures are
doubled the same way.

Run under a virtual display tall enough for the doubled window:
scripts/virtual-display.sh 1280x1400 e2e_hidpi.py PROGRAM PICTURES_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from x_display import Screen, failures, find_window, finish, read_picture, run, shows_picture

ORANGE = (0xFF, 0x96, 0x32)  # 背景色, around the views
# The views of 1P in client coordinates at scale 1 (left, top, width, height), default settings.
VIEWS = {"warning": (5, 5, 240, 30), "field": (5, 40, 240, 560), "next": (250, 40, 40, 560)}


def client_origin(screen, window_x, window_y, scale):
    """The client area's top-left: the first row of background below the menu bar."""
    for dy in range(0, 100 * scale):
        if screen.at(window_x + 1, window_y + dy) == ORANGE:
            return window_x, window_y + dy
    sys.exit(f"no client area found at scale {scale}")


def region(screen, left, top, width, height):
    """The rows of a rectangle, as bytes of RGB triples."""
    rows = []
    for y in range(top, top + height):
        start = 3 * (y * screen.width + left)
        rows.append(screen.pixels[start:start + 3 * width])
    return rows


def doubled(rows):
    """Each pixel a 2 x 2 block."""
    out = []
    for row in rows:
        wide = b"".join(row[i:i + 3] * 2 for i in range(0, len(row), 3))
        out += [wide, wide]
    return out


def views_at(program, pictures, scale, workdir):
    """The three views of 1P after the same key presses, at the given scale, and whether the
    tool window shows the "Edit" picture scaled by pixel multiplication."""
    folder = os.path.join(workdir, f"x{scale}")
    shutil.copytree(pictures, os.path.join(folder, "画像"))
    env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0", QT_SCALE_FACTOR=str(scale))
    app = subprocess.Popen([program], cwd=folder, env=env)
    try:
        window = find_window("ぺてりん")
        if window is None:
            sys.exit(f"the main window did not appear at scale {scale}")
        run("xdotool", "windowfocus", "--sync", window)
        # The mouse stays off the field, so no edit cursor is drawn.
        run("xdotool", "mousemove", "1279", "1399")
        time.sleep(1.0)
        # Play mode, the first pair dropped: blobs in the field, the next pair at the spawn
        # point with its landing marks, the coming pairs in the next view.
        for key in ("w", "Left", "x", "Down"):
            run("xdotool", "key", key)
            time.sleep(0.1)
        time.sleep(1.5)
        screen = Screen(folder, "views")
        shell = run("xdotool", "getwindowgeometry", "--shell", window)
        values = dict(line.split("=") for line in shell.split())
        x, y = client_origin(screen, int(values["X"]), int(values["Y"]), scale)
        views = {name: region(screen, x + scale * left, y + scale * top, scale * w, scale * h)
                 for name, (left, top, w, h) in VIEWS.items()}
        width, height, pixels = read_picture(os.path.join(pictures, "Edit.bmp"),
                                             os.path.join(folder, "edit.ppm"))
        rows = [pixels[3 * width * y:3 * width * (y + 1)] for y in range(height)]
        for _ in range(scale - 1):
            rows = doubled(rows)
        tool = find_window("^ツール$")
        picture = (width * scale, height * scale, b"".join(rows))
        return views, tool is not None and shows_picture(screen, tool, picture)
    finally:
        app.terminate()
        app.wait(timeout=10)


def main():
    program = os.path.abspath(sys.argv[1])
    pictures = os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as scratch:
        workdir = os.environ.get("PETERIN_E2E_SHOTS") or scratch  # a folder to keep the shots in
        single, _ = views_at(program, pictures, 1, workdir)
        double, crisp_picture = views_at(program, pictures, 2, workdir)
        if not crisp_picture:
            failures.append("tool window: no pixel-doubled Edit picture at scale 2")
        for name in VIEWS:
            expected = doubled(single[name])
            if len(set(single[name])) < 2 and name != "warning":
                failures.append(f"{name}: the view at scale 1 is blank")
            wrong = [y for y, (got, want) in enumerate(zip(double[name], expected)) if got != want]
            if wrong:
                failures.append(f"{name}: {len(wrong)} rows at scale 2 differ from the doubled "
                                f"scale-1 picture, the first at row {wrong[0]}")
    finish("HiDPI")


if __name__ == "__main__":
    main()

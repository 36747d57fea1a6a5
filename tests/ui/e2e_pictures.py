#!/usr/bin/env python3
"""Saves the views as a PNG and the last turn as a GIF from the real program's menu, on an X
display with real clicks and key presses, and checks both files with ImageMagick's identify.

Run under a virtual display: scripts/virtual-display.sh 1280x1024 e2e_pictures.py PROGRAM
"""
import os
import subprocess
import sys
import tempfile
import time

from x_display import check, failures, find_window, finish, geometry, run

def press(*keys):
    for key in keys:
        run("xdotool", "key", "--delay", "30", key)
        time.sleep(0.1)


def wait_for_file(path, timeout=15.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if os.path.exists(path):
            time.sleep(0.2)
            return True
        time.sleep(0.1)
    return False


def save_from_menu(window, item, path):
    """Opens "ファイル", picks its item-th entry with the keys and names the file."""
    x, y = geometry(window)[:2]
    run("xdotool", "mousemove", str(x + 20), str(y + 10))
    run("xdotool", "click", "1")
    time.sleep(0.5)
    press(*["Down"] * item, "Return")
    dialog = find_window("名前を付けてファイルを保存")
    if dialog is None:
        failures.append(f"no file dialog for menu item {item}")
        press("Escape")
        return
    run("xdotool", "windowfocus", "--sync", dialog)
    time.sleep(0.3)
    run("xdotool", "type", "--delay", "20", path)
    press("Return")
    check(f"{os.path.basename(path)} written", wait_for_file(path), True)


def identify(path):
    return run("identify", "-format", "%m %w %h %T\n", path).split("\n")[:-1]


def main():
    program = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as workdir:
        env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
        app = subprocess.Popen([program], cwd=workdir, env=env)
        try:
            window = find_window("ぺてりん")
            if window is None:
                sys.exit("the main window did not appear")
            run("xdotool", "windowfocus", "--sync", window)
            time.sleep(0.5)
            # Play mode, then one pair dropped: its fall is the last turn.
            press("w")
            time.sleep(0.5)
            press("Down")
            time.sleep(1.0)

            png = os.path.join(workdir, "views.png")
            save_from_menu(window, 3, png)
            if os.path.exists(png):
                check("PNG", identify(png), ["PNG 295 605 0"])

            gif = os.path.join(workdir, "turn.gif")
            save_from_menu(window, 4, gif)
            if os.path.exists(gif):
                frames = identify(gif)
                check("GIF frames", len(frames) > 2, True)
                check("GIF format", {f.split()[0] for f in frames}, {"GIF"})
                check("GIF first frame size", frames[0].split()[1:3] if frames else [],
                      ["295", "605"])
                check("last frame held one second", frames[-1].split()[3] if frames else "",
                      "100")
        finally:
            app.terminate()
            app.wait(timeout=10)
    finish("pictures")


if __name__ == "__main__":
    main()

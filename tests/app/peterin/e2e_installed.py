#!/usr/bin/env python3
"""Installs the build into a scratch prefix and runs the installed program the way the desktop
menu starts it (--desktop), from a folder that holds none of its files: the window carries the
icon, the tool window shows its pictures, the manual command finds the manual, and the settings
go to $XDG_CONFIG_HOME/peterin, made on the first start.

Run under a virtual display:
scripts/virtual-display.sh 1280x1024 e2e_installed.py CMAKE BUILD_DIR RESOURCES_DIR
"""
import os
import subprocess
import sys
import tempfile
import time
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "ui"))
from e2e_settings import click, menu_titles, open_settings, type_into  # noqa: E402
from x_display import (Screen, check, failures, find_window, finish, geometry,  # noqa: E402
                       read_picture, run, shows_picture)

ORANGE = (0xFF, 0x96, 0x32)  # 背景色

def has_icon(window):
    return "_NET_WM_ICON(CARDINAL) = " in run("xprop", "-id", window, "_NET_WM_ICON")


def wait_for_file(path, timeout=10.0):
    deadline = time.monotonic() + timeout
    while not os.path.exists(path) and time.monotonic() < deadline:
        time.sleep(0.1)
    return os.path.exists(path)


def main():
    cmake, build, resources = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as scratch:
        prefix, home, config, tools = (os.path.join(scratch, d)
                                       for d in ("prefix", "home", "config", "tools"))
        for folder in (home, tools):
            os.mkdir(folder)
        run(cmake, "--install", build, "--prefix", prefix)
        # The desktop's opener, standing in for a viewer: it notes what it was asked to open.
        opened = os.path.join(scratch, "opened")
        opener = os.path.join(tools, "xdg-open")
        with open(opener, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$@" > "{opened}"\n')
        os.chmod(opener, 0o755)

        env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0", HOME=home,
                   XDG_CONFIG_HOME=config, PATH=tools + os.pathsep + os.environ["PATH"])
        app = subprocess.Popen([os.path.join(prefix, "bin", "peterin"), "--desktop"],
                               cwd=home, env=env)
        try:
            window = find_window("ぺてりん")
            if not window:
                sys.exit("the installed program's window did not appear")
            time.sleep(1.0)
            settings_folder = os.path.join(config, "peterin")
            check("settings folder made at start", os.path.isdir(settings_folder), True)
            tool = find_window("^ツール$")
            check("tool window shown", tool is not None, True)
            check("main window icon", has_icon(window), True)
            if tool:
                check("tool window icon", has_icon(tool), True)
                screen = Screen(scratch, "tool")
                for name in ("Edit.bmp", "落下.bmp", "岩.bmp"):
                    picture = read_picture(os.path.join(resources, "画像", name),
                                           os.path.join(scratch, "picture.ppm"))
                    check(f"tool window shows {name}", shows_picture(screen, tool, picture), True)

            # ヘルプ, the last title, its first item: the manual from the installed documentation
            # folder.
            x, y, width, _ = geometry(window)
            screen = Screen(scratch, "menu")
            bar = next(dy for dy in range(100) if screen.at(x + 1, y + dy) == ORANGE)
            titles = menu_titles(screen, x, y + 2, y + bar - 2, width)
            check("menu titles at least", min(len(titles), 4), 4)
            if len(titles) >= 4:
                left, right = titles[-1]
                click((left + right) // 2, y + bar // 2)
                for key in ("Down", "Return"):
                    run("xdotool", "key", key)
                    time.sleep(0.1)
                manual = os.path.join(prefix, "share", "doc", "peterin", "説明書.txt")
                if wait_for_file(opened):
                    with open(opened) as f:
                        url = f.read().strip()
                    check("manual opened", urllib.parse.unquote(url), "file://" + manual)
                else:
                    failures.append("the manual was not opened")
                check("no failure box", find_window("^失敗$", timeout=0.5), None)

            # Saved for the next start: into the configuration folder, not the start folder.
            dialog = open_settings(scratch, window)
            type_into(scratch, dialog, 80, 39, "9")
            x, y, width, height = geometry(dialog)
            click(x + width * 268 // 312, y + height * 275 // 292)
            if find_window("^OK$"):
                run("xdotool", "key", "Return")
                time.sleep(0.3)
            saved = os.path.join(settings_folder, "設定.ini")
            check("settings saved in the configuration folder", os.path.isfile(saved), True)
            if os.path.isfile(saved):
                with open(saved, "rb") as f:
                    check("saved width", "横もるん数= 9" in f.read().decode("cp932"), True)
            check("nothing saved in the start folder", os.listdir(home), [])
            run("xdotool", "key", "Escape")
        finally:
            app.terminate()
            app.wait(timeout=10)
    finish("installed program")


if __name__ == "__main__":
    main()

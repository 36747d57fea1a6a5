#!/usr/bin/env python3
"""Opens the settings dialog of the real program through its menu on an X display, applies a
wider field with Enter, then saves another width for the next start without applying it. Then
opens a colour chooser and the file dialog and cancels both: none of it writes a file into the
user's home or configuration folders.

Run under a virtual display: scripts/virtual-display.sh 1280x1024 e2e_settings.py PROGRAM
The program starts in an empty directory, so every setting has its default (6 columns).
"""
import os
import subprocess
import sys
import tempfile
import time

from x_display import Screen, check, find_window, finish, geometry, run

ORANGE = (0xFF, 0x96, 0x32)  # 背景色

def click(x, y):
    run("xdotool", "mousemove", str(x), str(y))
    time.sleep(0.1)
    run("xdotool", "click", "1")
    time.sleep(0.2)


def menu_titles(screen, left, top, bottom, width):
    """The horizontal extents of the menu bar's titles: runs of columns holding dark text."""
    inked = []
    for x in range(left, left + width):
        inked.append(any(max(screen.at(x, y)) < 100 for y in range(top, bottom)))
    titles, start, gap = [], None, 0
    for x, ink in enumerate(inked + [False] * 12, start=left):
        if ink:
            if start is None:
                start = x
            gap = 0
            end = x
        elif start is not None:
            gap += 1
            if gap > 10:
                titles.append((start, end))
                start = None
    return titles


def open_menu(workdir, main_window, index):
    """Clicks the menu bar's title number `index`."""
    x, y, width, _ = geometry(main_window)
    screen = Screen(workdir, "menu")
    # The menu bar ends where the client area's background begins.
    bar = next(dy for dy in range(100) if screen.at(x + 1, y + dy) == ORANGE)
    titles = menu_titles(screen, x, y + 2, y + bar - 2, width)
    if len(titles) < 4:
        sys.exit(f"menu titles not found: {titles}")
    left, right = titles[index]
    click((left + right) // 2, y + bar // 2)


def open_settings(workdir, main_window):
    # "ツール" is the fourth title (after ファイル, 編集, 表示); its second item is the settings
    # command.
    open_menu(workdir, main_window, 3)
    for key in ("Down", "Down", "Return"):
        run("xdotool", "key", key)
        time.sleep(0.1)
    dialog = find_window("^Dialog$")
    if not dialog:
        sys.exit("the settings dialog did not open")
    return dialog


def page_top(workdir, dialog):
    """The top of the tab pages: the first line below the row of tabs, right of the tabs."""
    x, y, width, _ = geometry(dialog)
    screen = Screen(workdir, "dialog")
    column = x + width - 20
    background = screen.at(column, y + 2)
    return next(y + dy for dy in range(2, 80) if screen.at(column, y + dy) != background)


def type_into(workdir, dialog, dlu_x, dlu_y, text):
    """Replaces the text of the edit box at the given dialog-unit point of the first page."""
    x, y, width, height = geometry(dialog)
    click(x + width * dlu_x // 312, page_top(workdir, dialog) + height * dlu_y // 292)
    run("xdotool", "key", "ctrl+a")
    run("xdotool", "type", text)
    time.sleep(0.1)


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(root, name), folder)
                  for root, dirs, names in os.walk(folder) for name in names + dirs)


def cancel_dialogs_that_remember(workdir, window, home):
    """A colour chooser and the file dialog, each cancelled: the home folder stays empty."""
    dialog = open_settings(workdir, window)
    run("xdotool", "key", "ctrl+Tab")  # page "色"
    time.sleep(0.3)
    x, y, width, height = geometry(dialog)
    click(x + width * 32 // 312, page_top(workdir, dialog) + height * 27 // 292)  # "背景"
    chooser = find_window("^(色を選択|Select Colou?r)$")  # Qt's own words, in Japanese
    check("colour chooser shown", chooser is not None, True)
    run("xdotool", "key", "Escape")
    time.sleep(0.5)
    check("files after the colour chooser", files_under(home), [])
    run("xdotool", "key", "Escape")
    time.sleep(0.3)

    open_menu(workdir, window, 0)  # "ファイル"
    for key in ("Down", "Return"):  # "開く"
        run("xdotool", "key", key)
        time.sleep(0.1)
    files = find_window("^名前を付けてファイルを保存$")
    check("file dialog shown", files is not None, True)
    run("xdotool", "key", "Escape")
    time.sleep(0.5)
    check("files after the file dialog", files_under(home), [])


def main():
    program = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as workdir, tempfile.TemporaryDirectory() as home:
        # Qt programs keep dialog state in the user's configuration folder; this one must not.
        # The program's own state goes into the scratch folder.
        env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0", HOME=home, XDG_CONFIG_HOME=home,
                   XDG_STATE_HOME=workdir)
        app = subprocess.Popen([program], cwd=workdir, env=env)
        try:
            window = find_window("ぺてりん")
            if not window:
                sys.exit("the main window did not appear")
            time.sleep(1.0)
            # Without a window manager the window is its client area wide.
            check("window width at start", geometry(window)[2], 295)

            # Eight columns, and Enter in the edit box presses "OK": the window widens.
            dialog = open_settings(workdir, window)
            type_into(workdir, dialog, 80, 39, "8")
            run("xdotool", "key", "Return")
            time.sleep(0.5)
            check("dialog closed by Enter", find_window("^Dialog$", timeout=0.5), None)
            check("window width with 8 columns", geometry(window)[2], 375)

            # Nine columns saved for the next start: the file has them, the window does not.
            dialog = open_settings(workdir, window)
            type_into(workdir, dialog, 80, 39, "9")
            x, y, width, height = geometry(dialog)
            click(x + width * 268 // 312, y + height * 275 // 292)
            confirmation = find_window("^OK$")
            check("confirmation shown", confirmation is not None, True)
            run("xdotool", "key", "Return")
            time.sleep(0.3)
            path = os.path.join(workdir, "設定.ini")
            with open(path, "rb") as f:
                saved = f.read().decode("cp932")
            check("saved width", "横もるん数= 9" in saved, True)
            run("xdotool", "key", "Escape")
            time.sleep(0.5)
            check("dialog closed by Esc", find_window("^Dialog$", timeout=0.5), None)
            check("window width after saving", geometry(window)[2], 375)

            cancel_dialogs_that_remember(workdir, window, home)
        finally:
            app.terminate()
            app.wait(timeout=10)
        check("files in the home folder at the end", files_under(home), [])
    finish("settings")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Soaks the real program: drives it on an X display with seeded random real input for a given
time and watches that it neither crashes, nor reports a sanitizer error, nor stops answering, nor
keeps growing in memory.

Run under a virtual display, in a scratch folder (scripts/soak.sh does all of this):
    soak.py PROGRAM MINUTES SEED WORKDIR DAT_FILES...
The DAT_FILES are the positions to open: they are copied into WORKDIR together with truncated
and fuzzed copies. At the end it prints
    soak: ACTIONS actions in MINUTES min, rss START -> END MiB, N faults
where START is the resident memory a minute in and END at the end, each taken right after
opening a small position that replaces the stored positions (once a minute, see reset_position),
and in a sanitizer build the program's share of it (see rss_mib), and exits 1 when there was any
fault: the program ended, a sanitizer wrote a report, the program did not answer a ping within
5 s, or its memory grew by more than 10 % after the first minute.

Every kind of input is one entry of ACTIONS below, so a new command is one more line there.
"""
import glob
import os
import random
import re
import shutil
import subprocess
import sys
import time

from e2e_settings import ORANGE, menu_titles
from x_display import Screen, find_window, geometry
from x_drop import Dropper
from x_ping import Pinger

OVERFLOW_BUTTON = 30  # pixels the menu bar keeps for its overflow button when titles fold away
CHECK_EVERY = 3.0    # seconds between liveness checks
HANG_AFTER = 5.0     # seconds without an answer that count as a hang
GROWTH_LIMIT = 1.10  # resident memory after the first minute may grow by this factor at most
# AddressSanitizer on x86-64: its shadow memory (the low shadow, the gap and the high shadow),
# and the region its allocator hands out blocks of up to 128 KiB from.
SHADOW_START, SHADOW_END = 0x00007FFF8000, 0x10007FFF8000
ALLOCATOR_START, ALLOCATOR_END = 0x600000000000, 0x640000000000
RESET_EVERY = 60.0   # seconds between openings of the reset position (see reset_position)

# The keys a user of the default settings presses, and a few more that are bound to nothing.
BOUND_KEYS = ["Left", "Right", "Down", "Up", "z", "x", "d", "g", "f", "s", "a", "r", "period",
              "comma", "space", "k", "l", "i", "o"] + [str(n) for n in range(1, 10)]
MODE_KEYS = ["q", "w", "e"]
OTHER_KEYS = ["b", "c", "h", "j", "m", "n", "p", "t", "u", "v", "y", "0", "minus", "Tab",
              "Return", "BackSpace", "Delete", "Home", "End", "Prior", "Next", "Insert", "F1",
              "F5", "F10", "shift+Left", "shift+z", "alt+x", "KP_4", "KP_6", "slash", "Escape"]
# Undo and redo.
HISTORY_KEYS = ["ctrl+z", "ctrl+y", "ctrl+shift+z"]
# Playback: pause, one tick, next scene, previous and next chain step, the speeds from ×1/4 to ×4
# (ctrl+3 is ×1), and the move hint. "一瞬" (ctrl+6) is left out: on the large fields of the
# damaged files a turn run at once may take longer than the hang limit.
PLAYBACK_KEYS = ["ctrl+p", "ctrl+Right", "ctrl+Down", "ctrl+Prior", "ctrl+Next", "ctrl+1",
                 "ctrl+2", "ctrl+3", "ctrl+3", "ctrl+4", "ctrl+5", "ctrl+h",
                 # a record shown: turns back and on, the largest chain; the position through
                 # the clipboard
                 "ctrl+bracketleft", "ctrl+bracketright", "ctrl+l", "ctrl+shift+c",
                 "ctrl+shift+v"]

# Menus by their place in the menu bar and items by their place in the menu (1 = first, -1 =
# last; greyed items are passed over).
FILE_MENU, EDIT_MENU, VIEW_MENU, TOOL_MENU, PLAY_MENU, HELP_MENU = 0, 1, 2, 3, 4, 5
OPEN, SAVE = 1, 2
CLEAR_HISTORY = -1
VIEW_ITEMS = [1, 2, 3]          # heaven band, limbo band, tool window
ONE_PERSON_BATTLE, SETTINGS = 1, 2
ABOUT = 2                       # the manual (item 1) would start a viewer outside the program

# Number boxes of the settings dialog's first page, in dialog units (centre) with the values
# typed into them: small enough that stored positions stay small over a long run.
SETTING_BOXES = [((80, 39), (2, 12)), ((114, 39), (1, 16)), ((205, 39), (8, 48)),
                 ((240, 39), (8, 48)), ((80, 91), (0, 6)), ((80, 118), (1, 3)),
                 ((120, 118), (1, 3)), ((205, 118), (8, 48)), ((240, 118), (8, 48)),
                 ((80, 198), (1, 6))]
DIALOG_UNITS = (312, 292)
DIALOG_OK, DIALOG_APPLY, DIALOG_SAVE = (83, 275), (184, 276), (268, 275)


def xdo(*args):
    subprocess.run(("xdotool",) + tuple(str(a) for a in args), capture_output=True, timeout=20)


class Soak:
    def __init__(self, program, minutes, seed, workdir, dat_files):
        self.program = program
        self.minutes = minutes
        self.random = random.Random(seed)
        self.workdir = workdir
        self.files = self.make_files(dat_files)
        self.faults = []
        self.actions = 0
        self.saves = 0
        self.resets = 0

    # --- Files to open ---------------------------------------------------------------------

    def make_files(self, dat_files):
        """Valid positions, each also cut short and with random damage."""
        folder = os.path.join(self.workdir, "files")
        os.makedirs(folder, exist_ok=True)
        made = []
        for i, path in enumerate(dat_files):
            with open(path, "rb") as f:
                data = f.read()
            variants = {"valid": data, "cut": data[:self.random.randrange(len(data) + 1)]}
            damaged = bytearray(data)
            for _ in range(1 + len(damaged) // 50):
                at = self.random.randrange(len(damaged) + 1)
                damaged[at:at] = self.random.choice(
                    [b"9", b"\n", b"[", b"99999", b"-", b"\x00", b"\xff", b"[-]\n", b"@"])
            variants["fuzzed"] = bytes(damaged)
            for kind, content in variants.items():
                name = os.path.join(folder, f"{i:03d}-{kind}.dat")
                with open(name, "wb") as f:
                    f.write(content)
                made.append(name)
        # Game records, one whole and one damaged, for the record commands.
        source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "fuzz",
                              "corpus", "record", "solo-200.pprec")
        with open(source, "rb") as f:
            record = f.read()
        self.records = [os.path.join(folder, name) for name in ("whole.pprec", "damaged.pprec")]
        for name, content in zip(self.records, (record, record.replace(b"\n= 0", b"\n= 0 9", 1))):
            with open(name, "wb") as f:
                f.write(content)
        # The reset position: the default sizes, both fields empty and one small stored
        # position, so opening it replaces the store.
        self.reset_files = [os.path.join(folder, f"reset-{i}.dat") for i in (0, 1)]
        empty = "------\n" * 15
        for reset in self.reset_files:
            with open(reset, "w") as f:
                f.write("[S]\n40, 40\n[A]\n2, 1, 2\n[M]\n6, 12\n" + empty + "[m]\n" + empty +
                        "[N]\nRBGY\n2\n@0?*\n[n]\nRBGY\n2\n@0?*\n[-]\n[N]\nRBGY\n2\n@0?*\n[-]\n")
        return made

    # --- The program and its windows --------------------------------------------------------

    def start(self):
        logs = os.path.join(self.workdir, "sanitizer")
        # The sanitizer keeps the call path of every allocation and free for its reports, and
        # those records grow with each new path for as long as the program runs: read as
        # resident memory, they look like a leak of the program's. Without them a report still
        # says what went wrong and where; PETERIN_SOAK_ASAN can bring them back
        # (malloc_context_size=30) to rerun a seed that failed.
        env = dict(os.environ,
                   ASAN_OPTIONS=f"detect_leaks=0:halt_on_error=1:quarantine_size_mb=16:"
                                f"malloc_context_size=0:log_path={logs}:"
                                + os.environ.get("PETERIN_SOAK_ASAN", ""),
                   UBSAN_OPTIONS=f"halt_on_error=1:print_stacktrace=1:log_path={logs}")
        self.app = subprocess.Popen([self.program], cwd=self.workdir, env=env)
        self.main = find_window("^ぺてりん$", timeout=60)
        if self.main is None:
            sys.exit("soak: the main window did not appear")
        time.sleep(1.0)
        x, y, width, _ = geometry(self.main)
        screen = Screen(self.workdir, "menu")
        bar = next(dy for dy in range(100) if screen.at(x + 1, y + dy) == ORANGE)
        self.menu_y = y + bar // 2
        self.bar_height = bar
        found = menu_titles(screen, x, y + 2, y + bar - 2, width)
        self.titles = [(a + b) // 2 for a, b in found]
        # Each title's right edge within the window: a window made narrower than that by the
        # settings folds the title into the menu bar's overflow button, where its place differs.
        self.title_ends = [b - x for _, b in found]
        if len(self.titles) < 6:
            sys.exit(f"soak: menu titles not found: {self.titles}")
        self.pinger = Pinger()
        self.dropper = Dropper()
        self.refresh_boxes()

    def visible(self, name):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                               capture_output=True, text=True, timeout=20).stdout.split()
        return found

    def window_box(self, window):
        try:
            return geometry(window)
        except subprocess.CalledProcessError:
            return None

    def point_in(self, box):
        x, y, width, height = box
        return x + self.random.randrange(max(width, 1)), y + self.random.randrange(max(height, 1))

    def dismiss_dialogs(self):
        """Closes whatever window the last action left open besides the two of the program."""
        for attempt in range(6):
            others = [w for w in self.visible(".") if w not in (self.main, self.tool_window())]
            if not others:
                return
            for window in others:
                xdo("windowfocus", window, "key", "Escape" if attempt < 4 else "Return")
            time.sleep(0.2)

    def tool_window(self):
        found = self.visible("^ツール$")
        return found[0] if found else None

    # --- Actions ----------------------------------------------------------------------------

    # One xdotool run per action: its commands chain, and starting it is what takes the time.

    # A menu left open (by a click on its title, or one that came while a dialog was closing)
    # would take the keys and clicks meant for the fields, and its "終了" is reached by Up and
    # Return or a click where it covers a field. A user closes such a menu first: every key and
    # mouse action begins with Escape.

    def key(self, keys):
        chain = ["key", "Escape"]
        if self.random.random() < 0.8:
            chain += ["mousemove", *self.point_in(self.field_box), "windowfocus", self.main]
        chain += ["key", "--delay", 30] + [self.random.choice(keys)
                                           for _ in range(self.random.randint(1, 4))]
        xdo(*chain)

    def mouse_in_main(self):
        button = 1 if self.random.random() < 0.8 else 3
        x, y = self.point_in(self.field_box)
        chain = ["key", "Escape", "mousemove", x, y, "mousedown", button]
        for _ in range(self.random.randint(0, 6)):
            x += self.random.randint(-45, 45)
            y += self.random.randint(-45, 45)
            chain += ["mousemove", x, y, "sleep", 0.02]
        xdo(*chain, "mouseup", button)

    def wheel(self):
        xdo("key", "Escape", "mousemove", *self.point_in(self.field_box), "click", "--repeat",
            self.random.randint(1, 5), self.random.choice([4, 5]))

    def tool_buttons(self):
        if self.tool_box is not None:
            xdo("key", "Escape", "mousemove", *self.point_in(self.tool_box), "click", 1)

    def refresh_boxes(self):
        """Where the two windows are now; they change size with the settings and files."""
        self.main_box = geometry(self.main)
        # Clicks for the fields stay below the menu bar: one on a title opens a menu.
        x, y, width, height = self.main_box
        self.field_box = (x, y + self.bar_height, width, max(height - self.bar_height, 1))
        tool = self.tool_window()
        self.tool_box = geometry(tool) if tool is not None else None

    def menu(self, title, item):
        """Chooses an item of a menu by its place, as a user with the mouse and arrows does."""
        if title >= len(self.titles) or self.title_ends[title] + OVERFLOW_BUTTON > self.main_box[2]:
            return
        xdo("mousemove", self.titles[title], self.menu_y, "click", 1, "sleep", 0.15,
            "key", "--delay", 30, *(["Down"] * item if item > 0 else ["Up"] * -item), "Return")
        time.sleep(0.2)

    def type_file_name(self, path, title="名前を付けてファイルを保存"):
        dialog = find_window(title, timeout=5)
        if dialog is None:
            return
        # Replacing a file asks first: the second Return answers yes.
        # "type" takes every argument after it as text, so it ends its chain.
        xdo("windowfocus", dialog, "key", "ctrl+a", "type", "--delay", 2, path)
        xdo("key", "Return", "sleep", 0.3, "key", "Return")
        time.sleep(0.2)

    def open_file(self):
        self.menu(FILE_MENU, OPEN)
        self.type_file_name(self.random.choice(self.files))
        self.refresh_boxes()

    def show_record(self):
        """A game record on the fields, whole or damaged; the record keys then go through it."""
        xdo("windowfocus", self.main, "key", "ctrl+r")
        self.type_file_name(self.random.choice(self.records), "記録を開く")
        self.dismiss_dialogs()

    def drop_files(self):
        """One to three files dropped on the window from another program (the first is read)."""
        paths = self.random.sample(self.files, self.random.randint(1, 3))
        self.dropper.drop(int(self.main), *self.point_in(self.field_box), paths)
        self.refresh_boxes()

    def save_file(self):
        self.menu(FILE_MENU, SAVE)
        dialog = find_window("^Dialog$", timeout=5)
        if dialog is None:
            return
        # The save dialog's check boxes, at random, then OK (its default button).
        box = geometry(dialog)
        for _ in range(self.random.randint(0, 3)):
            xdo("mousemove", *self.point_in(box), "click", 1)
        xdo("windowfocus", dialog, "key", "Return")
        self.saves += 1
        # A few names, so that saves also replace files; now and then into the positions opened.
        name = os.path.join(self.workdir, f"saved-{self.saves % 3}.dat")
        if self.random.random() < 0.2:
            name = self.random.choice(self.files)
        self.type_file_name(name)

    def settings_dialog(self):
        self.menu(TOOL_MENU, SETTINGS)
        dialog = find_window("^Dialog$", timeout=5)
        if dialog is None:
            return
        x, y, width, height = geometry(dialog)
        top = y + height * 19 // DIALOG_UNITS[1]  # where the pages begin, below the tabs

        def at(dlu, page_top=top):
            return (x + width * dlu[0] // DIALOG_UNITS[0],
                    page_top + height * dlu[1] // DIALOG_UNITS[1])

        for _ in range(self.random.randint(1, 4)):
            if self.random.random() < 0.7:
                (point, (low, high)) = self.random.choice(SETTING_BOXES)
                xdo("mousemove", *at(point), "click", 1, "key", "ctrl+a", "type",
                    self.random.randint(low, high))
            else:
                # Anywhere: tabs, check boxes, colour buttons, key boxes (which take a key).
                xdo("mousemove", *self.point_in((x, y, width, height)), "click", 1, "key",
                    self.random.choice(BOUND_KEYS + OTHER_KEYS))
                self.dismiss_colour_chooser(dialog)
        if os.environ.get("PETERIN_SOAK_TRACE"):
            Screen(self.workdir, "settings")
        choice = self.random.random()
        if choice < 0.4:
            xdo("mousemove", *at(DIALOG_OK, y), "click", 1)
        elif choice < 0.7:
            xdo("mousemove", *at(DIALOG_APPLY, y), "click", 1)
        elif choice < 0.8:
            xdo("mousemove", *at(DIALOG_SAVE, y), "click", 1)
        xdo("windowfocus", dialog, "key", "Escape")
        time.sleep(0.2)
        self.refresh_boxes()

    def dismiss_colour_chooser(self, dialog):
        for window in self.visible("."):
            if window not in (self.main, dialog, self.tool_window()):
                xdo("windowfocus", window, "key", "Escape")

    def reset_position(self):
        """Opens a small position with one stored position and clears the undo history, as a
        user going back to a known position does. Stored positions and the history are memory
        the user asked for; growing, they would be measured rather than leaks. Opening the file
        replaces the store, so the memory after each reset is comparable. Returns whether the
        position was opened; two names take turns, so that the title tells."""
        self.resets += 1
        name = self.reset_files[self.resets % 2]
        for _ in range(3):
            # A message left open would block the dialog; Ctrl+O works however narrow the
            # window, where the menu titles may be folded away.
            self.dismiss_dialogs()
            xdo("key", "Escape", "windowfocus", self.main, "key", "ctrl+o")
            self.type_file_name(name)
            self.dismiss_dialogs()
            # The title keeps its pause mark: playback may have been paused by a playback key.
            title = f"^{os.path.basename(name)} - ぺてりん( \\[一時停止\\])?$"
            if find_window(title, timeout=2) is not None:
                self.refresh_boxes()
                self.menu(EDIT_MENU, CLEAR_HISTORY)
                return True
        self.refresh_boxes()
        return False

    def about(self):
        self.menu(HELP_MENU, ABOUT)

    # (name, weight, action). A command added to the program is one more line here.
    def actions_table(self):
        return [
            ("bound keys", 30, lambda: self.key(BOUND_KEYS)),
            ("mode keys", 4, lambda: self.key(MODE_KEYS)),
            ("other keys", 4, lambda: self.key(OTHER_KEYS)),
            ("history keys", 2, lambda: self.key(HISTORY_KEYS)),
            ("clear history", 1, lambda: self.menu(EDIT_MENU, CLEAR_HISTORY)),
            ("playback keys", 2, lambda: self.key(PLAYBACK_KEYS)),
            ("field mouse", 20, self.mouse_in_main),
            ("wheel", 4, self.wheel),
            ("tool window", 12, self.tool_buttons),
            ("view toggles", 3, lambda: self.menu(VIEW_MENU, self.random.choice(VIEW_ITEMS))),
            ("one-person battle", 1, lambda: self.menu(TOOL_MENU, ONE_PERSON_BATTLE)),
            ("open a file", 3, self.open_file),
            ("show a record", 1, self.show_record),
            ("drop files", 2, self.drop_files),
            ("save a file", 2, self.save_file),
            ("settings dialog", 2, self.settings_dialog),
            ("about", 1, self.about),
            ("idle", 8, lambda: time.sleep(self.random.uniform(0.1, 0.6))),
        ]

    # --- Watching -----------------------------------------------------------------------------

    def memory_reading(self, begin):
        """rss_mib, also written down with the time, so that a failed run shows the trend."""
        rss, in_all = self.rss_mib()
        extra = f" (in all {in_all:.0f})" if in_all is not None else ""
        print(f"soak: {(time.monotonic() - begin) / 60:5.1f} min: rss {rss:.0f} MiB{extra}",
              file=sys.stderr, flush=True)
        return rss, in_all

    def rss_mib(self):
        """The program's resident memory in MiB, and in a sanitizer build also the resident memory
        in all, or None. In a sanitizer build the program's memory leaves out the sanitizer's
        shadow and counts its allocator by the bytes the program holds (see below)."""
        held = self.sanitizer_heap()
        program_kib, all_kib, region = 0, 0, None
        with open(f"/proc/{self.app.pid}/smaps") as f:
            for line in f:
                if line[0] in "0123456789abcdef" and "-" in line.split()[0]:
                    start = int(line.split("-")[0], 16)
                    region = ("shadow" if SHADOW_START <= start < SHADOW_END else
                              "allocator" if ALLOCATOR_START <= start < ALLOCATOR_END else None)
                elif line.startswith("Rss:"):
                    kib = int(line.split()[1])
                    all_kib += kib
                    if region is None or (region == "allocator" and held is None):
                        program_kib += kib
        if held is None:
            return program_kib / 1024, None
        return program_kib / 1024 + held / 2**20, all_kib / 1024

    def sanitizer_heap(self):
        """Bytes the program holds from the sanitizer's allocator, or None without a sanitizer
        (or without gdb, or where gdb may not attach).

        The sanitizer's allocator keeps the pages it once handed out blocks from for as long as
        one block on them lives, and a long run scatters a few long-lived blocks (Qt's caches,
        the window's pictures) over ever more pages: its resident memory kept growing by about
        1.5 MiB a minute while what the program held grew by 0.07. That is the sanitizer's
        allocator, not the program's memory, so the reading counts the blocks, not the pages.
        Large blocks, which it maps one by one outside its region, count twice: a stricter
        reading, not a looser one. First it gives back what it holds for itself (freed blocks
        kept to catch late uses, and its caches), which would come and go with the last few
        seconds of work."""
        out = self.gdb("call (void)__sanitizer_purge_allocator()",
                       "print (long)__sanitizer_get_current_allocated_bytes()")
        values = re.findall(r"^\$\d+ = (\d+)$", out or "", re.MULTILINE)
        return int(values[-1]) if values else None

    def gdb(self, *commands, timeout=60):
        """What gdb prints running the commands in the program, or None without gdb."""
        if not shutil.which("gdb"):
            return None
        arguments = ["gdb", "-p", str(self.app.pid), "-batch"]
        for command in commands:
            arguments += ["-ex", command]
        return subprocess.run(arguments, capture_output=True, text=True, timeout=timeout).stdout

    def check(self, last_action):
        if self.app.poll() is not None:
            self.faults.append(f"the program ended with status {self.app.returncode} "
                               f"after '{last_action}'")
            return False
        reports = glob.glob(os.path.join(self.workdir, "sanitizer*"))
        if reports:
            self.faults.append(f"sanitizer report after '{last_action}': {reports}")
            return False
        if self.pinger.ping(int(self.main), HANG_AFTER) is None:
            self.faults.append(f"no answer within {HANG_AFTER:.0f} s after '{last_action}'")
            self.print_stacks()
            return False
        return True

    def print_stacks(self):
        """Where a program that stopped answering is stuck, and what the screen shows."""
        Screen(self.workdir, "hang")
        stacks = self.gdb("thread apply all bt 25", timeout=120) if self.app.poll() is None else None
        if stacks is not None:
            print(f"soak: the program's threads at the hang:\n{stacks}", file=sys.stderr)

    def run(self):
        self.start()
        table = self.actions_table()
        names = [name for name, _, _ in table]
        weights = [weight for _, weight, _ in table]
        begin = time.monotonic()
        end = begin + self.minutes * 60
        next_check = begin + CHECK_EVERY
        next_reset = begin + RESET_EVERY
        rss_start, all_start = None, None
        last = "start"
        alive = True
        # Every kind of action first, so that what the program loads or caches once on first
        # use (dialogs, fonts, the file types) is in the memory a minute in.
        warm_up = [i for i, (_, weight, _) in enumerate(table) if names[i] != "idle"] * 2
        while alive and time.monotonic() < end:
            if warm_up:
                index = warm_up.pop(0)
            else:
                index = self.random.choices(range(len(table)), weights)[0]
            last = names[index]
            started = time.monotonic()
            try:
                table[index][2]()
                if self.random.random() < 0.1:
                    self.dismiss_dialogs()
            except (subprocess.CalledProcessError, subprocess.TimeoutExpired, StopIteration):
                pass  # a window went away under the action: the checks below decide
            self.actions += 1
            now = time.monotonic()
            if now >= next_reset:
                next_reset = now + RESET_EVERY
                # Memory is compared right after resets, from the first one on.
                if self.reset_position() and self.app.poll() is None:
                    reading = self.memory_reading(begin)
                    if rss_start is None:
                        rss_start, all_start = reading
            if os.environ.get("PETERIN_SOAK_TRACE"):
                print(f"soak: {now - begin:7.1f} s  {last} ({now - started:.2f} s)", file=sys.stderr)
            if now >= next_check:
                next_check = now + CHECK_EVERY
                alive = self.check(last)
                if alive:
                    self.refresh_boxes()
        if alive:
            if not self.reset_position():
                self.faults.append("the reset position could not be opened at the end")
            alive = self.check(last)
            Screen(self.workdir, "end")  # the last screen, for a look by eye
        rss_end, all_end = self.memory_reading(begin) if alive else (0.0, None)
        if rss_start is None:
            rss_start, all_start = rss_end, all_end
        elif alive and rss_end > rss_start * GROWTH_LIMIT:
            self.faults.append(f"resident memory grew from {rss_start:.0f} to {rss_end:.0f} MiB")
        if self.app.poll() is None:
            self.app.terminate()
            try:
                self.app.wait(10)
            except subprocess.TimeoutExpired:
                self.app.kill()
        for fault in self.faults:
            print(f"soak: fault: {fault}", file=sys.stderr)
        for report in glob.glob(os.path.join(self.workdir, "sanitizer*")):
            with open(report, errors="replace") as f:
                sys.stderr.write(f.read())
        minutes = (time.monotonic() - begin) / 60
        if all_start is not None and all_end is not None:
            print(f"soak: resident memory in all, the sanitizer's own included: "
                  f"{all_start:.0f} -> {all_end:.0f} MiB")
        print(f"soak: {self.actions} actions in {minutes:.1f} min, "
              f"rss {rss_start:.0f} -> {rss_end:.0f} MiB, {len(self.faults)} faults")
        return 1 if self.faults else 0


def main():
    program, minutes, seed, workdir = sys.argv[1:5]
    soak = Soak(os.path.abspath(program), float(minutes), int(seed), workdir, sys.argv[5:])
    sys.exit(soak.run())


if __name__ == "__main__":
    main()

"""What the end-to-end tests share: commands, screenshots and window geometry on an X display."""
import os
import subprocess
import sys
import time


# The failed checks of the running test, reported together by finish().
failures = []


def check(what, actual, expected):
    if actual != expected:
        failures.append(f"{what}: got {actual}, expected {expected}")


def finish(name):
    """Prints the failed checks and exits 1, or says that the end-to-end test `name` passed."""
    if failures:
        print("\n".join(failures))
        sys.exit(1)
    print(f"end-to-end {name} passed")


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def read_picture(source, ppm):
    """Width, height and RGB bytes of a picture file, by way of a PPM written to `ppm`."""
    run("convert", source, "-depth", "8", ppm)
    with open(ppm, "rb") as f:
        data = f.read()
    # P6 header: magic, width, height, maxval, each followed by whitespace.
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    return int(fields[1]), int(fields[2]), data[pos + 1:]


class Screen:
    """One screenshot of the whole display (kept as PNG beside its pixels, for a look by eye)."""

    def __init__(self, workdir, name):
        path = os.path.join(workdir, name)
        run("import", "-window", "root", path + ".png")
        self.width, self.height, self.pixels = read_picture(path + ".png", path + ".ppm")

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])


def find_window(name, timeout=10.0):
    """The id of the first visible window with that name, or None when none appears in time."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                               capture_output=True, text=True).stdout.split()
        if found:
            return found[0]
        time.sleep(0.1)
    return None


def geometry(window):
    """Left, top, width and height of a window on the screen."""
    shell = run("xdotool", "getwindowgeometry", "--shell", window)
    values = dict(line.split("=") for line in shell.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def shows_picture(screen, window, picture):
    """Whether the middle of a picture appears unchanged inside the window on the screen."""
    width, height, pixels = picture
    rows = [pixels[3 * (y * width + 3):3 * (y * width + width - 3)] for y in range(3, height - 3)]
    left, top, w, h = geometry(window)
    for y in range(top, top + h - len(rows)):
        line = screen.pixels[3 * (y * screen.width + left):3 * (y * screen.width + left + w)]
        at = line.find(rows[0])
        while at >= 0:
            if at % 3 == 0:
                x = left + at // 3
                if all(screen.pixels[3 * ((y + i) * screen.width + x):
                                     3 * ((y + i) * screen.width + x) + len(row)] == row
                       for i, row in enumerate(rows)):
                    return True
            at = line.find(rows[0], at + 1)
    return False

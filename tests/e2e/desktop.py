"""What a person at the desktop does and sees, for the window suite: real
input through xdotool, screenshots read as pixels, the accessibility tree
and the sound on the sink's monitor. Nothing here reaches into the program."""

import os
import re
import subprocess
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def run(*args, check=True):
    return subprocess.run(args, check=check, capture_output=True, text=True).stdout


def wait_for(condition, timeout=20.0, interval=0.1):
    """The condition's first true value, or None after `timeout` seconds."""
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            return None
        time.sleep(interval)


# --- input ---------------------------------------------------------------

def move(x, y):
    run("xdotool", "mousemove", str(int(x)), str(int(y)))


def click(x, y, button=1, repeat=1):
    run("xdotool", "mousemove", str(int(x)), str(int(y)), "click", "--repeat", str(repeat), str(button))


def drag(start, end, steps=8):
    """Presses at `start`, moves in steps to `end` and lets go there."""
    move(*start)
    run("xdotool", "mousedown", "1")
    for i in range(1, steps + 1):
        move(start[0] + (end[0] - start[0]) * i / steps, start[1] + (end[1] - start[1]) * i / steps)
        time.sleep(0.03)
    run("xdotool", "mouseup", "1")


def keys(*names):
    run("xdotool", "key", "--delay", "60", *names)


def type_text(text):
    run("xdotool", "type", "--delay", "8", text)


# --- screen --------------------------------------------------------------

class Shot:
    """A screenshot of the whole screen, kept as a PNG and read as RGB."""

    def __init__(self, path):
        run("/usr/bin/import", "-window", "root", path)
        self.path = path
        raw = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "rgb:-"], check=True,
                             capture_output=True).stdout
        size = run("/usr/bin/identify", "-format", "%w %h", path).split()
        self.width, self.height = int(size[0]), int(size[1])
        self.rgb = raw

    def pixel(self, x, y):
        i = (int(y) * self.width + int(x)) * 3
        return tuple(self.rgb[i:i + 3])

    def pixels(self, rect):
        x, y, w, h = (int(v) for v in rect)
        for yy in range(y, y + h):
            row = self.rgb[(yy * self.width + x) * 3:(yy * self.width + x + w) * 3]
            for i in range(0, len(row), 3):
                yield row[i], row[i + 1], row[i + 2]

    def mean(self, rect):
        total, n = [0, 0, 0], 0
        for p in self.pixels(rect):
            total = [t + c for t, c in zip(total, p)]
            n += 1
        return tuple(t / max(n, 1) for t in total)

    def crop(self, rect, path):
        x, y, w, h = (int(v) for v in rect)
        run("/usr/bin/convert", self.path, "-crop", f"{w}x{h}+{x}+{y}", "+repage", path)


def differing(a, b, rect, tolerance=24):
    """The share of pixels of `rect` that differ between two shots."""
    n = changed = 0
    for p, q in zip(a.pixels(rect), b.pixels(rect)):
        n += 1
        changed += max(abs(p[0] - q[0]), abs(p[1] - q[1]), abs(p[2] - q[2])) > tolerance
    return changed / max(n, 1)


def centroid(shot, rect, background, tolerance=40):
    """The centre of the pixels of `rect` that are not the background colour."""
    x0, y0, w, h = (int(v) for v in rect)
    sx = sy = n = 0
    for i, p in enumerate(shot.pixels(rect)):
        if max(abs(p[0] - background[0]), abs(p[1] - background[1]), abs(p[2] - background[2])) > tolerance:
            sx += x0 + i % w
            sy += y0 + i // w
            n += 1
    return (sx / n, sy / n) if n else None


# --- windows -------------------------------------------------------------

def find_windows(name):
    return run("xdotool", "search", "--onlyvisible", "--name", name, check=False).split()


def client_geometry(window):
    """x, y, width, height of a window's client area on the screen."""
    info = run("xwininfo", "-id", window)
    value = lambda key: int(re.search(key + r":\s+(-?\d+)", info).group(1))  # noqa: E731
    return value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height")


def frame_geometry(window):
    """x, y, width, height of the window with the frame the window manager added."""
    x, y, w, h = client_geometry(window)
    extents = re.findall(r"\d+", run("xprop", "-id", window, "_NET_FRAME_EXTENTS", check=False).split("=")[-1])
    left, right, top, bottom = (int(v) for v in extents) if len(extents) == 4 else (0, 0, 0, 0)
    return x - left, y - top, w + left + right, h + top + bottom


# --- sound ---------------------------------------------------------------

class Recorder:
    """The sink's monitor (or another source) recorded as 16-bit mono at 22050 Hz."""
    RATE = 22050

    def __init__(self, path, source=None):
        self.path = path
        self.process = subprocess.Popen(
            ["parec", "-d", source or os.environ["VIZMO_SOUND_SINK"] + ".monitor", "--raw", "--format=s16le",
             "--channels=1", f"--rate={self.RATE}", "--latency-msec=20"], stdout=open(path, "wb"))

    def stop(self):
        self.process.terminate()
        self.process.wait()
        return Sound(self.path)


class Sound:
    def __init__(self, path):
        data = open(path, "rb").read()
        self.samples = [int.from_bytes(data[i:i + 2], "little", signed=True) for i in range(0, len(data) - 1, 2)]

    def seconds(self):
        return len(self.samples) / Recorder.RATE

    def rms(self, start=0.0, end=None):
        part = self.samples[int(start * Recorder.RATE):None if end is None else int(end * Recorder.RATE)]
        return (sum(s * s for s in part) / max(len(part), 1)) ** 0.5 / 32768

    def heard_seconds(self, threshold=0.01, window=0.05):
        """How long the sound is louder than `threshold`, counted in short windows."""
        step = int(window * Recorder.RATE)
        loud = 0
        for i in range(0, len(self.samples), step):
            part = self.samples[i:i + step]
            loud += (sum(s * s for s in part) / max(len(part), 1)) ** 0.5 / 32768 > threshold
        return loud * window


# --- the accessibility tree ----------------------------------------------

class Tree:
    """The program's accessible objects, looked up afresh on every call."""

    def __init__(self, app_name):
        self.app_name = app_name

    def app(self):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            child = desktop.get_child_at_index(i)
            if child is not None and child.get_name() == self.app_name:
                return child
        return None

    def all(self, root=None, hidden=False):
        """Every object under `root`, depth first; hidden pages and the entries of
        drop-down lists only when asked for."""
        root = root or self.app()
        if root is None:
            return
        stack = [root]
        while stack:
            node = stack.pop()
            try:
                node.clear_cache()
                count = node.get_child_count()
                showing = node.get_state_set().contains(Atspi.StateType.SHOWING)
                role = node.get_role_name()
            except Exception:  # an object gone while walking
                continue
            yield node
            if node is not root and not hidden and (not showing or role == "combo box"):
                continue
            for i in range(count - 1, -1, -1):
                child = node.get_child_at_index(i)
                if child is not None:
                    stack.append(child)

    def find(self, name=None, role=None, root=None, showing=True, hidden=False):
        found = []
        for node in self.all(root, hidden):
            try:
                if name is not None and node.get_name() != name:
                    continue
                if role is not None and node.get_role_name() != role:
                    continue
                if showing and not node.get_state_set().contains(Atspi.StateType.SHOWING):
                    continue
            except Exception:
                continue
            found.append(node)
        return sorted(found, key=lambda n: (extents(n)[1], extents(n)[0]))

    def one(self, name, role=None, root=None, hidden=False):
        found = self.find(name, role, root, hidden=hidden)
        return found[0] if found else None


def extents(node):
    r = node.get_extents(Atspi.CoordType.SCREEN)
    return r.x, r.y, r.width, r.height


def centre(node):
    x, y, w, h = extents(node)
    return x + w / 2, y + h / 2


def name(node):
    node.clear_cache()
    return node.get_name()


def text(node):
    node.clear_cache()
    return Atspi.Text.get_text(node, 0, -1)


def value(node):
    node.clear_cache()
    return Atspi.Value.get_current_value(node)


def checked(node):
    node.clear_cache()
    return node.get_state_set().contains(Atspi.StateType.CHECKED)


def selected_names(node):
    node.clear_cache()
    names = []
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None and child.get_state_set().contains(Atspi.StateType.SELECTED):
            names.append(child.get_name())
    return names

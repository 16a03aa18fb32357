"""What every step of the window suite uses: the checks and their count,
screenshots kept as artefacts, the window as seen from outside, and dialogs
answered with real input."""

import os
import re
import subprocess
import time

import desktop as d

artefacts = None
readme_images = None
failures = []
shot_count = 0
FRAME = 3  # the window's own frame on each side, counted in its outer width


def configure(artefact_dir, readme_dir):
    global artefacts, readme_images
    artefacts, readme_images = artefact_dir, readme_dir


def artefact(name):
    return os.path.join(artefacts, name)


def check(what, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + what + (f" ({detail})" if detail else ""), flush=True)
    if not ok:
        failures.append(what)
    return ok


def shot(name):
    global shot_count
    shot_count += 1
    return d.Shot(os.path.join(artefacts, f"{shot_count:02d}-{name}.png"))


class Window:
    """The program's window as seen from outside."""

    def __init__(self, xid):
        self.xid = xid
        self.tree = d.Tree("Vizmo4 Demo")

    def client(self):
        return d.client_geometry(self.xid)

    def width(self):
        return self.client()[2]

    def area(self, x, y, w, h):
        """A rectangle given in the client area's pixels, on the screen."""
        cx, cy, _, _ = self.client()
        return cx + x, cy + y, w, h

    def player(self):
        return self.area(0, 0, 264, 264)

    def control(self, name, role=None, root=None):
        node = d.wait_for(lambda: self.tree.one(name, role, root), timeout=10)
        if node is None:
            raise LookupError(f"no showing control named {name!r}")
        return node

    def click(self, name, role=None):
        d.click(*d.centre(self.control(name, role)))

    def row(self, label):
        """The value buttons right of a property label, left to right."""
        lx, ly, _, lh = d.extents(self.control(label, "label"))
        buttons = [n for n in self.tree.find(role="push button")
                   if abs(d.extents(n)[1] + d.extents(n)[3] / 2 - (ly + lh / 2)) < 8 and d.extents(n)[0] > lx]
        return sorted(buttons, key=lambda n: d.extents(n)[0])

    def current_tab(self):
        """The caption of the page that shows."""
        pages = [n for n in self.tree.find(role="filler")
                 if d.name(n) in ("Demo", "QV4 Player", "KV TTS", "ZAZara RT")]
        return d.name(pages[0]) if len(pages) == 1 else None

    def tab(self, caption):
        d.click(*d.centre(self.control(caption, "page tab")))
        return check(f"a click shows {caption!r}", d.wait_for(lambda: self.current_tab() == caption, 10) is not None,
                     str(self.current_tab()))

    def popups(self):
        """The program's menus open on the screen: their heights."""
        tree = d.run("xwininfo", "-root", "-children")
        heights = []
        for xid, height in re.findall(r'(0x[0-9a-f]+) "[^"]*": \("vizmo4-demo" "[^"]*"\)\s+\d+x(\d+)', tree):
            if "IsViewable" in d.run("xwininfo", "-id", xid, check=False):
                heights.append(int(height))
        return heights


def text_of(window, name):
    return d.text(window.control(name))


def wait_text(window, name, expected, timeout=15):
    return d.wait_for(lambda: text_of(window, name) == expected, timeout)


def close_reports(w):
    """Closes the open error reports, so that the next steps see the window."""
    while w.tree.find(role="alert"):
        d.click(*d.centre(w.control("OK", "push button", root=w.tree.find(role="alert")[0])))
        time.sleep(0.3)


def face_moves(window, seconds=0.6):
    a = shot("face-a")
    time.sleep(seconds)
    b = shot("face-b")
    return d.differing(a, b, window.player())


def readme_picture(window, name, shot_, width=None):
    if readme_images:
        x, y, w, h = window.client()
        shot_.crop((x, y, width or w, h), os.path.join(readme_images, name + ".png"))


# --- the steps ---------------------------------------------------------------


def tick(box, ticked):
    """Clicks the box until it shows `ticked`: ticking "Tracking" while a head
    slider is off-centre recentres it, which clears the box again."""
    for _ in range(3):
        if d.checked(box) == ticked:
            return True
        d.click(*d.centre(box))
        d.wait_for(lambda: d.checked(box) == ticked, 2)
    return check(f"{d.name(box)!r} is {'ticked' if ticked else 'cleared'}", d.checked(box) == ticked)


def answer_file_dialog(path):
    """Types a path into the open file dialog and accepts it; None path cancels."""
    dialog = d.wait_for(lambda: d.find_windows("^Open$|^Select|Open File"), 15)
    if not dialog:
        return False
    time.sleep(0.3)
    if path is None:
        d.keys("Escape")
    else:
        d.keys("ctrl+a")
        d.type_text(path)
        d.keys("Return")
    return d.wait_for(lambda: not d.find_windows("^Open$|^Select|Open File"), 10) is not None


def answer_colour_dialog(w, html):
    dialog = d.wait_for(lambda: d.find_windows("^Select Colou?r$"), 15)
    if not dialog:
        return False
    html_label = w.control("HTML:", "label")
    x, y, lw, lh = d.extents(html_label)
    d.click(x + lw + 30, y + lh / 2)
    d.keys("ctrl+a")
    d.type_text(html)
    d.keys("Return")
    return d.wait_for(lambda: not d.find_windows("^Select Colou?r$"), 10) is not None


def still_shot(w, name):
    """A shot once the face has held still for a moment (life and tracking off)."""
    last = shot(name)
    for _ in range(20):
        time.sleep(0.3)
        now = shot(name)
        if d.differing(last, now, w.player()) == 0:
            return now
        last = now
    return last


def launch(executable, log):
    app = subprocess.Popen([executable], stdout=open(os.path.join(artefacts, log), "w"), stderr=subprocess.STDOUT)
    xid = d.wait_for(lambda: (d.find_windows("^Vizmo4 Demo$") or [None])[0], timeout=60)
    return app, xid


def close(app):
    app.terminate()
    try:
        app.wait(10)
    except subprocess.TimeoutExpired:
        app.kill()
        app.wait()
    d.wait_for(lambda: not d.find_windows("^Vizmo4 Demo$"), 10)

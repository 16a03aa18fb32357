"""The window as a person uses it, step by step, on the private desktop that
window_suite.sh starts. Every action is real input; every check reads the
screen, the accessibility tree, window geometry or the recorded sound.

Usage: window_suite.py PROGRAM ARTEFACT_DIR [README_IMAGE_DIR]"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import desktop as d

program, artefacts = sys.argv[1], sys.argv[2]
readme_images = sys.argv[3] if len(sys.argv) > 3 and sys.argv[3] else None
failures = []
shot_count = 0
FRAME = 3  # the window's own frame on each side, counted in its outer width


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

def start_up(executable):
    app, xid = launch(executable, "program.log")
    if not check("the window appears", xid is not None):
        return app, None
    w = Window(xid)
    check("the program shows in the accessibility tree", d.wait_for(w.tree.app, 30) is not None)
    d.wait_for(lambda: w.width() == 264, 10)
    check("the window opens compact: 270 pixels with its frame", w.width() + 2 * FRAME == 270,
          f"client {w.width()}")
    fx, fy, fw, fh = d.wait_for(lambda: d.frame_geometry(xid) if d.frame_geometry(xid)[3] > 289 else None,
                                10) or d.frame_geometry(xid)
    check("the decorated window is centred on the screen",
          abs(2 * fx + fw - 1024) <= 1 and abs(2 * fy + fh - 768) <= 1, f"frame {fx},{fy} {fw}x{fh}")
    moved = face_moves(w)
    check("the face moves", moved > 0.002, f"{moved:.4f} of the player changed")
    readme_picture(w, "compact", shot("compact"))
    return app, w


def expand_and_collapse(w):
    w.click(">", "push button")
    check("'>' expands the window to 584 pixels",
          d.wait_for(lambda: w.width() + 2 * FRAME == 584, 10) is not None, f"client {w.width()}")
    w.click("<", "push button")
    check("'<' collapses it to 270 pixels",
          d.wait_for(lambda: w.width() + 2 * FRAME == 270, 10) is not None, f"client {w.width()}")
    w.click(">", "push button")
    d.wait_for(lambda: w.width() == 578, 10)


def demo_tab(w):
    w.tab("Demo")
    readme_picture(w, "tab-demo", shot("tab-demo"))
    models = w.control("File1", "list")
    before = shot("model-before")
    d.click(*d.centre(w.control("chen.qvm", root=models)))
    check("a click selects the model", d.wait_for(lambda: d.selected_names(models) == ["chen.qvm"], 10) is not None,
          str(d.selected_names(models)))
    time.sleep(1.0)
    after = shot("model-after")
    changed = d.differing(before, after, w.player())
    check("another model changes the face", changed > 0.15, f"{changed:.3f} of the player changed")
    d.run("xdotool", "keydown", "ctrl")
    d.click(*d.centre(w.control("chen.qvm", root=models)))
    d.run("xdotool", "keyup", "ctrl")
    time.sleep(0.5)
    check("Ctrl+click on the selected model keeps it selected", d.selected_names(models) == ["chen.qvm"],
          str(d.selected_names(models)))
    if not check("and reports nothing", not w.tree.find(role="alert")):
        close_reports(w)

    # The progress text counts up while the script plays.
    bar = w.control("ProgressBar1")
    first = d.value(bar)
    check("the script plays: the progress goes up",
          d.wait_for(lambda: d.value(bar) > first, 10) is not None, f"from {first}")

    # With both "Auto" boxes ticked, the last files wrap round to the first at the end.
    model_auto, script_auto = w.tree.find("Auto", "check box")
    for box in (model_auto, script_auto):
        if not d.checked(box):
            d.click(*d.centre(box))
    check("both Auto boxes are ticked", d.wait_for(lambda: d.checked(model_auto) and d.checked(script_auto), 5))
    scripts = w.control("File2", "list")
    d.click(*d.centre(w.control("dora.qvm", root=models)))
    d.click(*d.centre(w.control("greeting.qvs", root=scripts)))
    check("at the end the lists wrap round to their first files",
          d.wait_for(lambda: d.selected_names(models) == ["anna.qvm"]
                     and d.selected_names(scripts) == ["a_hello_wave.qvs"], 30) is not None,
          f"{d.selected_names(models)} {d.selected_names(scripts)}")
    check("and at the next end the next files load",
          d.wait_for(lambda: d.selected_names(models) == ["bruno.qvm"]
                     and d.selected_names(scripts) == ["b_expressions.qvs"], 30) is not None,
          f"{d.selected_names(models)} {d.selected_names(scripts)}")
    for box in (model_auto, script_auto):
        d.click(*d.centre(box))
    shot("demo-after-auto")


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


def player_tab(w, app_dir):
    w.tab("QV4 Player")
    readme_picture(w, "tab-player", shot("tab-player"))
    tracking = w.control("Tracking", "check box")
    check("'Tracking' starts ticked", d.checked(tracking))
    tick(tracking, False)
    event_box = "Text5"

    # Life: 0 holds the face still, 3 moves it.
    life = w.row("LifeMode")
    check("LifeMode has four value buttons", len(life) == 4, str(len(life)))
    d.click(*d.centre(life[0]))
    time.sleep(0.5)
    check("LifeMode 0 holds the face still", face_moves(w, 1.0) == 0)
    for mode in (1, 2, 3):
        d.click(*d.centre(life[mode]))
        still = shot(f"life-{mode}")
        moved = d.wait_for(lambda: d.differing(still, shot(f"life-{mode}"), w.player()) > 0.001, 10, 0.5)
        check(f"LifeMode {mode} moves it", moved is not None)
    d.click(*d.centre(life[0]))
    time.sleep(0.5)

    # The colour dialog answered with real input; BackMode 0 shows the colour.
    back_mode = w.row("BackMode")
    d.click(*d.centre(back_mode[1]))
    d.click(*d.centre(w.control("Command21", "push button")))
    check("BackColor's dialog takes a colour", answer_colour_dialog(w, "#ff0000"))
    px, py, _, _ = w.player()
    red = d.wait_for(lambda: shot("backcolor").pixel(px + 4, py + 4) if
                     shot("backcolor").pixel(px + 4, py + 4)[0] > 200 else None, 10)
    check("the player's background turns red", red is not None and red[1] < 60 and red[2] < 60, str(red))

    # BackImage through the file dialog: Cancel changes nothing, a picture shows.
    image_button = w.row("BackImage")[0]
    before = still_shot(w, "before-image")
    d.click(*d.centre(image_button))
    check("Cancel closes the file dialog", answer_file_dialog(None))
    time.sleep(0.5)
    check("Cancel changes nothing", d.differing(before, still_shot(w, "after-cancel"), w.player()) == 0)
    d.click(*d.centre(image_button))
    check("BackImage's dialog takes a picture", answer_file_dialog(os.path.join(app_dir, "bg", "tiles.png")))
    d.click(*d.centre(back_mode[2]))
    time.sleep(0.5)
    stretched = still_shot(w, "stretched")
    check("BackMode 1 shows the picture", d.differing(before, stretched, w.player()) > 0.2)

    # Every other value button changes the face: each against the shot before it.
    last = stretched
    for label, order in (("BackMode", [3, 0, 1]), ("ControStyle", [1, 0]), ("BorderStyle", [1, 0])):
        buttons = w.row(label)
        for index in order:
            d.click(*d.centre(buttons[index]))
            now = still_shot(w, f"{label}-{index}")
            changed = d.differing(last, now, w.player(), tolerance=6)
            check(f"{label} button {d.name(buttons[index])!r} changes the face", changed > 0.001, f"{changed:.4f}")
            last = now

    # MenuStyle: -1 offers no menu on a right click, 0 a short one, 1 a longer one.
    menu_sizes = []
    for button in w.row("MenuStyle"):
        d.click(*d.centre(button))
        d.click(px + 130, py + 130, button=3)
        menu = d.wait_for(w.popups, 2) or [0]
        menu_sizes.append(menu[0])
        d.keys("Escape")
        d.wait_for(lambda: not w.popups(), 5)
    check("MenuStyle -1, 0, 1: no menu, then a short and a longer one",
          len(menu_sizes) == 3 and menu_sizes[0] == 0 < menu_sizes[1] < menu_sizes[2], str(menu_sizes))

    # Play, Pause and Stop in the event box, the position counting up in Text1.
    position = lambda: int((text_of(w, "Text1").split("/") + [""])[0] or -1)  # noqa: E731
    w.click("Play", "push button")
    check("'Play' shows in the event box", wait_text(w, event_box, "Play", 10), text_of(w, event_box))
    first = position()
    check("Text1 counts up while the script plays", d.wait_for(lambda: position() > first, 10) is not None,
          text_of(w, "Text1"))
    # Paused on the surprised face: StrengthMode 1 takes Strength 0 instead of the script's.
    d.wait_for(lambda: position() >= 3400, 15, 0.05)
    w.click("Pause", "push button")
    check("'Pause' shows in the event box", wait_text(w, event_box, "Pause", 10), text_of(w, event_box))
    strength = w.control("Slider1")
    d.click(*d.centre(strength))  # on the thumb
    d.keys("Home")
    d.wait_for(lambda: d.value(strength) == 0, 5)
    last = still_shot(w, "strength-0")
    for index in (1, 0):
        d.click(*d.centre(w.row("StrengthMode")[index]))
        now = still_shot(w, f"StrengthMode-{index}")
        changed = d.differing(last, now, w.player(), tolerance=6)
        check(f"StrengthMode button '{index}' changes the face", changed > 0.002, f"{changed:.4f}")
        last = now
    w.click("Stop", "push button")
    check("'Stop' shows in the event box", wait_text(w, event_box, "Stop", 10), text_of(w, event_box))

    # AutoPlay: a script chosen through its dialog plays at once only with AutoPlay 1.
    auto_play, script_button = w.row("AutoPlay"), w.row("ScriptName")[0]
    for index, plays in ((0, False), (1, True)):
        d.click(*d.centre(auto_play[index]))
        d.click(*d.centre(script_button))
        answer_file_dialog(os.path.join(app_dir, "qvs", "a_hello_wave.qvs"))
        played = wait_text(w, event_box, "Play", 3 if not plays else 10)
        check(f"AutoPlay {index}: the chosen script {'plays' if plays else 'waits'}", bool(played) == plays,
              text_of(w, event_box))
        w.click("Stop", "push button")
        wait_text(w, event_box, "Stop", 10)

    # A keyboard step on a head slider: the first clears Tracking, the next turn the face.
    tick(tracking, True)
    head_x = w.control("Slider7")
    before = shot("head-before")
    d.click(*d.centre(head_x))  # on the thumb: takes the focus, moves nothing
    d.keys("Right")
    check("a key on a head slider clears Tracking", d.wait_for(lambda: not d.checked(tracking), 5) is not None)
    d.keys("Prior", "Prior", "Prior")
    check("further keys move the slider", d.wait_for(lambda: d.value(head_x) > 0, 5) is not None,
          str(d.value(head_x)))
    time.sleep(0.5)
    check("and turn the face", d.differing(before, shot("head-after"), w.player()) > 0.02)

    # A mouse drag with Tracking ticked: the user's move is not applied.
    tick(tracking, True)
    head_y = w.control("Slider9")
    sx, sy = d.centre(head_y)
    d.drag((sx, sy), (sx + 30, sy))
    time.sleep(0.3)
    pose = [d.value(w.control(n)) for n in ("Slider7", "Slider9", "Slider10", "Slider8", "Slider11")]
    check("a drag with Tracking ticked ends with the five pose sliders at 0", pose == [0] * 5, str(pose))
    check("and Tracking cleared", not d.checked(tracking))

    # Tracking: the face turns toward each corner of the screen the pointer goes to.
    tick(tracking, True)
    centres = {}
    for corner, (x, y) in {"top-left": (0, 0), "top-right": (1023, 0), "bottom-left": (0, 767),
                           "bottom-right": (1023, 767)}.items():
        d.move(x, y)
        time.sleep(1.2)
        centres[corner] = d.centroid(shot(f"tracking-{corner}"), w.player(), (255, 0, 0))
    c = centres
    check("the face turns left and right with the pointer",
          None not in c.values() and c["top-left"][0] < c["top-right"][0] and c["bottom-left"][0] < c["bottom-right"][0],
          str(c))
    check("and up and down",
          None not in c.values() and c["top-left"][1] < c["bottom-left"][1] and c["top-right"][1] < c["bottom-right"][1],
          str(c))
    tick(tracking, False)
    d.click(*d.centre(life[3]))


def combo_items(combo):
    combo.clear_cache()
    items = []
    for node in d.Tree("").all(combo, hidden=True):
        if node.get_role_name() in ("list item", "menu item"):
            items.append(node.get_name())
    return items


def speech_tab(w):
    w.tab("KV TTS")
    readme_picture(w, "tab-speech", shot("tab-speech"))
    engines, voices = w.tree.find(role="combo box")  # top to bottom
    first_voices = combo_items(voices)
    check("the first engine lists voices", len(first_voices) > 0, str(len(first_voices)))

    # The other engine by mouse: open the list, click its entry.
    d.click(*d.centre(engines))
    entry = d.wait_for(lambda: w.tree.one("Microsoft SAPI 5.0", "list item", root=engines, hidden=True), 5)
    if check("the engine list opens", entry is not None):
        d.click(*d.centre(entry))
    check("the mouse chooses the second engine",
          d.wait_for(lambda: d.name(engines) == "Microsoft SAPI 5.0", 5) is not None, d.name(engines))
    second_voices = d.wait_for(lambda: combo_items(voices) if combo_items(voices) != first_voices else None, 10)
    check("the second engine lists its own voices", bool(second_voices), str(second_voices)[:80])

    # By keyboard: the engine list has the focus; Up goes back to the first engine.
    d.keys("Up")
    check("the keyboard chooses the first engine again",
          d.wait_for(lambda: combo_items(voices) == first_voices, 10) is not None)
    # A voice by mouse: the third entry of the open list.
    d.click(*d.centre(voices))
    entry = d.wait_for(lambda: w.tree.one(first_voices[2], "list item", root=voices, hidden=True), 5)
    if check("the voice list opens", entry is not None):
        d.click(*d.centre(entry))
    check("the mouse chooses a voice", d.wait_for(lambda: d.name(voices) == first_voices[2], 5) is not None,
          d.name(voices))
    d.keys("Up")
    check("the keyboard chooses another voice",
          d.wait_for(lambda: d.name(voices) == first_voices[1], 5) is not None, d.name(voices))
    return engines


def say(w, words):
    d.click(*d.centre(w.control("Text2")))
    d.keys("ctrl+a")
    d.type_text(words)


def speaking(w):
    event_box = "Text4"
    sentence = "Look at my mouth move while I speak these words to you."
    say(w, sentence)
    recorder = d.Recorder(os.path.join(artefacts, "speech.raw"))
    w.click("Play", "push button")
    check("Play shows in the speech event box", wait_text(w, event_box, "Play", 10), text_of(w, event_box))
    time.sleep(0.8)
    readme_picture(w, "speaking", shot("speaking"))
    check("EOF shows at the end", wait_text(w, event_box, "EOF", 30), text_of(w, event_box))
    time.sleep(0.3)
    sound = recorder.stop()
    heard = sound.heard_seconds()
    needed = len(sentence.split()) * 60 / 175
    check("the typed text is heard on the sink, about as long as it needs",
          0.5 * needed < heard < 2.0 * needed, f"{heard:.2f} s heard, about {needed:.2f} s needed")

    say(w, "This text is long enough to pause, to go on again and to stop while it is still being spoken, "
           "and then some more words follow to keep it going.")
    w.click("Play", "push button")
    wait_text(w, event_box, "Play", 10)
    time.sleep(1.0)
    w.click("Pause", "push button")
    check("Pause shows in the event box", wait_text(w, event_box, "Pause", 10), text_of(w, event_box))
    time.sleep(0.3)
    recorder = d.Recorder(os.path.join(artefacts, "paused.raw"))
    time.sleep(0.6)
    check("Pause silences the speech", recorder.stop().rms() < 0.0005)
    w.click("Play", "push button")
    wait_text(w, event_box, "Play", 10)
    recorder = d.Recorder(os.path.join(artefacts, "resumed.raw"))
    time.sleep(0.6)
    check("Play goes on speaking", recorder.stop().rms() > 0.005)
    w.click("Stop", "push button")
    check("Stop shows in the event box", wait_text(w, event_box, "Stop", 10), text_of(w, event_box))
    time.sleep(0.3)
    recorder = d.Recorder(os.path.join(artefacts, "stopped.raw"))
    time.sleep(0.6)
    check("Stop silences the speech", recorder.stop().rms() < 0.0005)


def tab_changes(w):
    # Speaking, then another tab: the speech stops; "Demo" starts the player again.
    w.tab("KV TTS")
    say(w, "A tab change while I am speaking these words stops me at once, before the end.")
    w.click("Play", "push button")
    wait_text(w, "Text4", "Play", 10)
    time.sleep(0.8)
    w.tab("ZAZara RT")
    readme_picture(w, "tab-coming-soon", shot("tab-coming-soon"))
    time.sleep(0.3)
    recorder = d.Recorder(os.path.join(artefacts, "after-tab.raw"))
    time.sleep(0.6)
    check("a tab change stops the speech", recorder.stop().rms() < 0.0005)
    w.tab("Demo")
    bar = w.control("ProgressBar1")
    first = d.value(bar)
    check("'Demo' plays the player again", d.wait_for(lambda: d.value(bar) != first, 10) is not None)
    w.tab("QV4 Player")
    check("a tab change stops the player", wait_text(w, "Text5", "Stop", 10), text_of(w, "Text5"))
    # The wheel over the tab strip changes nothing.
    strip = w.control("Demo", "page tab")
    x, y = d.centre(strip)
    for button in (4, 5, 5, 4, 5):
        d.click(x + 60, y, button=button)
    time.sleep(0.5)
    check("the wheel over the tabs changes nothing", w.current_tab() == "QV4 Player", str(w.current_tab()))


def damaged_model(w):
    w.tab("Demo")
    models = w.control("File1", "list")
    d.click(*d.centre(w.control("c_damaged.qvm", root=models)))
    reports = d.wait_for(lambda: [n for n in w.tree.find(role="alert")] or None, 10) or []
    time.sleep(1.0)
    reports = w.tree.find(role="alert")
    check("a damaged model shows one report", len(reports) == 1, str(len(reports)))
    if reports:
        words = " ".join(n.get_name() for n in w.tree.all(reports[0]) if n.get_role_name() == "label")
        check("the report names the file", "c_damaged.qvm" in words, words[:200])
        shot("damaged-model-report")
        d.keys("Return")
        check("the report closes", d.wait_for(lambda: not w.tree.find(role="alert"), 10) is not None)
    d.click(*d.centre(w.control("anna.qvm", root=models)))
    bar = w.control("ProgressBar1")
    first = d.value(bar)
    check("the window goes on working: another model plays",
          d.wait_for(lambda: d.value(bar) != first, 10) is not None)


def install_copy(folder, damaged=False):
    """The program with its content folders, as installed; with `damaged`, one
    more model that is not a model at all."""
    source = os.path.dirname(os.path.abspath(program))
    copy = os.path.join(folder, os.path.basename(program))
    shutil.copy2(program, copy)
    for name in ("qvm", "qvs", "bg"):
        shutil.copytree(os.path.join(source, name), os.path.join(folder, name))
    if damaged:
        with open(os.path.join(folder, "qvm", "c_damaged.qvm"), "wb") as f:
            f.write(b"QVM 1\nthis is not a model \x00\xff\n")
    return copy


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


def session(steps, damaged=False):
    """One run of the program from a fresh copy, through `steps`."""
    app_dir = tempfile.mkdtemp(prefix="vizmo-app.")
    app = None
    try:
        executable = install_copy(app_dir, damaged)
        if steps[0] is start_up:
            app, w = start_up(executable)
            steps = steps[1:]
        else:
            app, xid = launch(executable, "program-2.log")
            w = Window(xid) if check("the window appears again", xid is not None) else None
            if w is not None:
                d.wait_for(w.tree.app, 30)
        if w is None:
            return
        for step in steps:
            try:
                step(w) if step is not player_tab else step(w, app_dir)
            except Exception as e:  # a step that cannot go on fails, the next one still runs
                check(f"{step.__name__} ran to its end", False, repr(e))
        check("the program is still running", app.poll() is None)
    finally:
        if app is not None:
            close(app)
        shutil.rmtree(app_dir, ignore_errors=True)


def main():
    os.makedirs(artefacts, exist_ok=True)
    if readme_images:
        os.makedirs(readme_images, exist_ok=True)
    session([start_up, expand_and_collapse, demo_tab, speech_tab, speaking, player_tab, tab_changes])
    session([expand_and_collapse, damaged_model], damaged=True)
    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

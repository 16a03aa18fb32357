"""The window's own behaviour: start-up and centring, the compact and
expanded views, the "Demo" page, tab changes, a damaged model, a window
manager that frames the window late, and one that places new windows itself."""

import os
import shutil
import subprocess
import tempfile
import time

import desktop as d
from suite import (FRAME, Window, artefact, check, close_reports, face_moves, launch, readme_picture, shot, text_of,
                   wait_text)
from speech_steps import say


def start_up(executable):
    app, xid = launch(executable, "program.log")
    if not check("the window appears", xid is not None):
        return app, None
    w = Window(xid)
    check("the program shows in the accessibility tree", d.wait_for(w.tree.app, 30) is not None)
    d.wait_for(lambda: w.width() == 264, 10)
    check("the window opens compact: 270 pixels with its frame", w.width() + 2 * FRAME == 270,
          f"client {w.width()}")
    check_centred(w, "the decorated window is centred on the screen")
    moved = face_moves(w)
    check("the face moves", moved > 0.002, f"{moved:.4f} of the player changed")
    readme_picture(w, "compact", shot("compact"))
    return app, w


def check_centred(w, what):
    """Whether the window, frame included, stands in the middle of the screen
    once the window manager has framed it."""
    fx, fy, fw, fh = d.wait_for(lambda: d.frame_geometry(w.xid) if d.frame_geometry(w.xid)[3] > 289 else None,
                                10) or d.frame_geometry(w.xid)
    time.sleep(0.5)  # and stays there
    fx, fy, fw, fh = d.frame_geometry(w.xid)
    return check(what, abs(2 * fx + fw - 1024) <= 1 and abs(2 * fy + fh - 768) <= 1, f"frame {fx},{fy} {fw}x{fh}")


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
    d.click(*d.centre(w.control("mira.qvm", root=models)))  # the last model
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
    recorder = d.Recorder(artefact("after-tab.raw"))
    time.sleep(0.6)
    check("a tab change stops the speech", recorder.stop().rms() < 0.0005)
    w.tab("Demo")
    bar = w.control("ProgressBar1")
    first = d.value(bar)
    check("'Demo' plays the player again", d.wait_for(lambda: d.value(bar) != first, 20) is not None)
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


late_window_manager = None


def without_window_manager():
    """Ends the desktop's window manager, so the next window shows unframed."""
    d.run("openbox", "--exit", check=False)
    time.sleep(1.0)


def late_frame(w):
    """The window manager starts after the window has shown and grown: its
    frame is known late. The window goes only where the user drags it."""
    global late_window_manager
    x0 = w.client()[0]
    w.click(">", "push button")
    check("'>' expands the unframed window", d.wait_for(lambda: w.width() == 578, 10) is not None, f"client {w.width()}")
    check("and its left edge stays", w.client()[0] == x0, f"{w.client()[0]} against {x0}")
    late_window_manager = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL)
    framed = d.wait_for(lambda: d.frame_geometry(w.xid)[3] > w.client()[3], 15)
    if not check("the window manager frames the window", framed is not None):
        return
    time.sleep(0.5)
    check("the late frame leaves the window where it was", w.client()[0] == x0, f"{w.client()[0]} against {x0}")
    moves_only_when_the_user_moves_it(w)
    shot("late-frame")


def moves_only_when_the_user_moves_it(w):
    """A drag by the title bar moves the framed window by the drag; the views
    then change its right side only."""
    x0 = w.client()[0]
    fx, fy, _, _ = d.frame_geometry(w.xid)
    title = (fx + 200, fy + (w.client()[1] - fy) // 2)
    d.drag(title, (title[0] + 50, title[1] + 30))
    moved = d.wait_for(lambda: w.client()[0] != x0, 5)
    time.sleep(0.5)
    check("a drag by the title bar moves the window by the drag, and no further",
          moved is not None and w.client()[0] == x0 + 50, f"{w.client()[0]} against {x0 + 50}")
    x1 = w.client()[0]
    wide = w.width() == 578
    w.click("<" if wide else ">", "push button")
    d.wait_for(lambda: w.width() == (264 if wide else 578), 10)
    time.sleep(0.5)
    check(f"'{'<' if wide else '>'}' then moves only the right side",
          w.width() == (264 if wide else 578) and w.client()[0] == x1, f"{w.client()}")
    w.click(">" if wide else "<", "push button")
    d.wait_for(lambda: w.width() == (578 if wide else 264), 10)
    time.sleep(0.5)
    check(f"and '{'>' if wide else '<'}' too", w.width() == (578 if wide else 264) and w.client()[0] == x1,
          f"{w.client()}")


def end_late_window_manager():
    if late_window_manager is not None:
        late_window_manager.terminate()
        late_window_manager.wait(10)


placing_window_manager = None
placing_config = None


def with_placing_window_manager():
    """Ends the desktop's window manager and starts one that puts every new
    window where its own rule says (openbox's per-application position,
    forced: at 40, 30), whatever the program asked for."""
    global placing_window_manager, placing_config
    d.run("openbox", "--exit", check=False)
    time.sleep(1.0)
    with open("/etc/xdg/openbox/rc.xml") as f:
        config = f.read()
    rule = ('<applications>\n  <application class="*" type="normal">\n'
            '    <position force="yes"><x>40</x><y>30</y></position>\n  </application>\n')
    placing_config = tempfile.mkdtemp(prefix="vizmo-openbox.")
    path = os.path.join(placing_config, "rc.xml")
    with open(path, "w") as f:
        f.write(config.replace("<applications>", rule, 1))
    placing_window_manager = subprocess.Popen(["openbox", "--sm-disable", "--config-file", path],
                                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1.0)


def placed_by_window_manager(w):
    """The window opens centred where the window manager would have put it
    elsewhere, and then goes only where the user moves it."""
    if check_centred(w, "under a window manager that places windows itself the window opens centred"):
        moves_only_when_the_user_moves_it(w)
    shot("placed-by-window-manager")


def end_placing_window_manager():
    if placing_window_manager is not None:
        placing_window_manager.terminate()
        placing_window_manager.wait(10)
    if placing_config is not None:
        shutil.rmtree(placing_config, ignore_errors=True)

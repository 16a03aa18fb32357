"""The window as a person uses it, step by step, on the private desktop that
window_suite.sh starts. Every action is real input; every check reads the
screen, the accessibility tree, window geometry or the recorded sound.

Usage: window_suite.py PROGRAM ARTEFACT_DIR [README_IMAGE_DIR]"""

import os
import shutil
import sys
import tempfile

import desktop as d
import suite
from listening_steps import listening
from player_steps import player_tab
from speech_steps import speaking, speaking_drawn, speech_tab
from suite import Window, check, close, launch
from window_steps import (damaged_model, demo_tab, end_late_window_manager, end_placing_window_manager,
                          expand_and_collapse, late_frame, placed_by_window_manager, start_up, tab_changes,
                          with_placing_window_manager, without_window_manager)

program = sys.argv[1]


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
    artefacts = sys.argv[2]
    readme_images = sys.argv[3] if len(sys.argv) > 3 and sys.argv[3] else None
    os.makedirs(artefacts, exist_ok=True)
    if readme_images:
        os.makedirs(readme_images, exist_ok=True)
    suite.configure(artefacts, readme_images)
    session([start_up, expand_and_collapse, demo_tab, speech_tab, speaking, speaking_drawn, player_tab, tab_changes,
             listening])
    session([expand_and_collapse, damaged_model], damaged=True)
    # Last: they end the desktop's window manager and start one of their own.
    without_window_manager()
    try:
        session([late_frame])
    finally:
        end_late_window_manager()
    with_placing_window_manager()
    try:
        session([placed_by_window_manager])
    finally:
        end_placing_window_manager()
    print(f"{len(suite.failures)} failure(s)")
    return 1 if suite.failures else 0


if __name__ == "__main__":
    sys.exit(main())

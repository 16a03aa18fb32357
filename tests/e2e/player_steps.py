"""The "QV4 Player" page: value buttons, dialogs, playback, sliders and tracking."""

import os
import time

import desktop as d
from suite import (answer_colour_dialog, answer_file_dialog, check, face_moves, readme_picture, shot, still_shot,
                   text_of, tick, wait_text)


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
        # Mode 1 only blinks: a blink is about 0.3 s every 2 to 6 s, so look often and long.
        moved = d.wait_for(lambda: d.differing(still, shot(f"life-{mode}"), w.player()) > 0.001, 20, 0.05)
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
    # Paused on the surprised face (3.3 s to 4.2 s into the script), where StrengthMode 1
    # shows Strength 0 instead of the script's strength. A slow machine may pause
    # too late; then it tries again from the start.
    for _ in range(3):
        d.wait_for(lambda: position() >= 3400, 15, 0.05)
        w.click("Pause", "push button")
        wait_text(w, event_box, "Pause", 10)
        if 3300 <= position() <= 4200:
            break
        w.click("Stop", "push button")
        w.click("Play", "push button")
    check("'Pause' shows in the event box", text_of(w, event_box) == "Pause", text_of(w, event_box))
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
        # A short script may already have ended when the box is read: "Eof" means it played too.
        played = d.wait_for(lambda: text_of(w, event_box) in ("Play", "Eof"), 3 if not plays else 10)
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

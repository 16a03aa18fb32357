"""The player listening to a sound input: a virtual microphone (a null sink
whose monitor the player can listen to) chosen in the player's context menu
through the accessibility tree, a person's syllables played into it, the
mouth moving with them and resting in silence."""

import glob
import os
import subprocess
import time

import desktop as d
from speech_steps import mouth_motion
from suite import artefact, check, shot

MICROPHONE = "vizmo_mic"
DESCRIPTION = "Virtual_microphone"
SYLLABLES = "/usr/share/klettres/it/syllab"


def open_menu(w):
    """Opens the player's context menu with a right click; its accessible object."""
    px, py, _, _ = w.player()
    d.click(px + 130, py + 130, button=3)
    return d.wait_for(lambda: w.tree.one("Player", "popup menu"), 5)


def choose(w, item_name):
    """Chooses an entry of "Listen to" as a person does: the pointer on "Listen to"
    opens it, a click on the entry chooses it. False when either is not there."""
    if open_menu(w) is None:
        return False
    listen = d.wait_for(lambda: w.tree.one("Listen to", "menu item"), 5)
    if listen is None:
        d.keys("Escape")
        return False
    d.move(*d.centre(listen))
    item = d.wait_for(lambda: w.tree.one(item_name, "menu item"), 5)
    if item is None:
        d.keys("Escape", "Escape")
        return False
    d.click(*d.centre(item))
    return d.wait_for(lambda: not w.popups(), 5) is not None


def chosen(w, item_name):
    """Whether the entry shows as chosen in the menu (read, then the menu closed)."""
    if open_menu(w) is None:
        return False
    item = d.wait_for(lambda: w.tree.one("Listen to", "menu item"), 5)
    entries = [n for n in w.tree.all(item, hidden=True) if n.get_role_name() in ("menu item", "check menu item",
                                                                                  "radio menu item")]
    ticked = [d.name(n) for n in entries if d.checked(n)]
    d.keys("Escape")
    d.wait_for(lambda: not w.popups(), 5)
    return ticked == [item_name]


def syllables_recording(path):
    """A person saying Italian syllables in a row, as one WAV file."""
    names = ["ba", "mo", "pi", "fa", "lu", "ma", "po", "be", "sa", "mu", "pa", "vo", "bi", "ne", "ta"]
    files = [os.path.join(SYLLABLES, n + ".ogg") for n in names]
    subprocess.run(["sox", *files, "-r", "44100", path], check=True, capture_output=True)


def listening(w):
    if not check("klettres-data's recordings are installed", bool(glob.glob(os.path.join(SYLLABLES, "*.ogg")))):
        return
    loaded = d.run("pactl", "load-module", "module-null-sink", f"sink_name={MICROPHONE}",
                   f"sink_properties=device.description={DESCRIPTION}", "norewinds=1").strip()
    try:
        w.tab("QV4 Player")
        d.click(*d.centre(w.row("LifeMode")[0]))  # the face holds still: only the mouth moves
        time.sleep(0.5)
        monitor = f"Monitor of {DESCRIPTION}"
        check("the menu's \"Listen to\" starts at \"Nothing\"", chosen(w, "Nothing"))
        check(f"\"Listen to\" offers {monitor!r}, chosen with the mouse", choose(w, monitor))
        check("and shows it chosen", chosen(w, monitor))

        recording = artefact("syllables.wav")
        syllables_recording(recording)
        rest_before = shot("listening-rest")
        resting = mouth_motion(w, 2.0)
        reader = d.Recorder(artefact("microphone.raw"), source=MICROPHONE + ".monitor")
        player = subprocess.Popen(["paplay", "-d", MICROPHONE, recording])
        time.sleep(0.3)
        talking = mouth_motion(w, 3.0)
        player.wait(30)
        heard = reader.stop()
        check("the recording was played into the virtual microphone", heard.rms() > 0.01, f"RMS {heard.rms():.4f}")
        check("the mouth moves with the voice it hears", talking > 2 * resting and talking > 0.02,
              f"{talking:.4f} of the mouth region changes between shots listening, {resting:.4f} before")
        time.sleep(0.8)
        after = mouth_motion(w, 1.5)
        still = d.differing(rest_before, shot("listening-after"), w.area(100, 134, 80, 56))
        check("and rests in silence", after <= resting + 0.005 and still < 0.01,
              f"{after:.4f} changing between shots, {still:.4f} unlike the resting mouth")

        check("\"Nothing\" stops listening", choose(w, "Nothing") and chosen(w, "Nothing"))
        player = subprocess.Popen(["paplay", "-d", MICROPHONE, recording])
        time.sleep(0.3)
        unheard = mouth_motion(w, 2.0)
        player.wait(30)
        check("and the voice no longer moves the mouth", unheard <= resting + 0.005, f"{unheard:.4f}")
    finally:
        if loaded:
            d.run("pactl", "unload-module", loaded, check=False)

"""The "KV TTS" page: engines and voices, speech heard and silenced."""

import time

import desktop as d
from suite import artefact, check, readme_picture, shot, text_of, wait_text


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
    recorder = d.Recorder(artefact("speech.raw"))
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
           "and then some more words follow to keep it going. A slow machine still finds it speaking "
           "when it asks, for the text goes on for a good while longer than any of the checks need.")
    w.click("Play", "push button")
    wait_text(w, event_box, "Play", 10)
    time.sleep(1.0)
    w.click("Pause", "push button")
    check("Pause shows in the event box", wait_text(w, event_box, "Pause", 10), text_of(w, event_box))
    time.sleep(0.3)
    recorder = d.Recorder(artefact("paused.raw"))
    time.sleep(0.6)
    check("Pause silences the speech", recorder.stop().rms() < 0.0005)
    w.click("Play", "push button")
    wait_text(w, event_box, "Play", 10)
    recorder = d.Recorder(artefact("resumed.raw"))
    time.sleep(1.0)
    check("Play goes on speaking", recorder.stop().rms() > 0.005)
    w.click("Stop", "push button")
    check("Stop shows in the event box", wait_text(w, event_box, "Stop", 10), text_of(w, event_box))
    time.sleep(0.3)
    recorder = d.Recorder(artefact("stopped.raw"))
    time.sleep(0.6)
    check("Stop silences the speech", recorder.stop().rms() < 0.0005)


def mouth_motion(w, seconds):
    """How much of the player's mouth region changes from one shot to the next, on average."""
    mouth = w.area(100, 134, 80, 56)  # the region the lip-sync meter watches
    shares, last, end = [], shot("mouth"), time.time() + seconds
    while time.time() < end:
        now = shot("mouth")
        shares.append(d.differing(last, now, mouth))
        last = now
    return sum(shares) / max(len(shares), 1)


def speaking_drawn(w):
    """The drawn sample character, chosen in the model list, speaks: its mouth moves more than at rest."""
    w.tab("Demo")
    models = w.control("File1", "list")
    d.click(*d.centre(w.control("mira.qvm", root=models)))
    check("the drawn character is chosen in the list",
          d.wait_for(lambda: d.selected_names(models) == ["mira.qvm"], 10) is not None, str(d.selected_names(models)))
    check("and loads without a report", not w.tree.find(role="alert"))
    w.tab("KV TTS")
    say(w, "Hello there, my mouth opens and closes as I say every one of these words to you now.")
    time.sleep(1.0)
    resting = mouth_motion(w, 3.0)
    w.click("Play", "push button")
    wait_text(w, "Text4", "Play", 10)
    talking = mouth_motion(w, 3.0)
    check("its mouth moves more speaking than at rest", talking > 2 * resting and talking > 0.02,
          f"{talking:.4f} of the mouth region changes between shots speaking, {resting:.4f} at rest")
    wait_text(w, "Text4", "EOF", 30)
    w.tab("Demo")
    d.click(*d.centre(w.control("anna.qvm", root=models)))
    d.wait_for(lambda: d.selected_names(models) == ["anna.qvm"], 10)

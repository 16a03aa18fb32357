"""A contact sheet of the face listening to a person's syllables, from a
capture of the whole player (listen_av_sync.sh --sheet): for each of the
first syllables, the face as seen in its consonant (20 ms into its sound)
and in the middle of its vowel, each taken `lag` later as the meter found
the mouth to follow the sound.

Usage: listen_contact_sheet.py CAPTURE.nut MARKS ORIGIN LAG_MS OUTPUT.png"""

import os
import subprocess
import sys
import tempfile

capture, marks_path, origin, lag_ms, output = sys.argv[1], sys.argv[2], float(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
COUNT = 15

marks = []
for line in open(marks_path):
    name, start, vowel, end = line.split()
    marks.append((name, float(start) / 1000, float(vowel) / 1000, float(end) / 1000))
marks = marks[:COUNT]

times = [float(t) for t in subprocess.run(
    ["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "frame=pts_time", "-of", "csv=p=0", capture],
    check=True, capture_output=True, text=True).stdout.split()]


def frame_at(seconds):
    """The index of the frame shown at `seconds` (capture clock)."""
    shown = [i for i, t in enumerate(times) if t <= seconds]
    return shown[-1] if shown else 0


moments = []  # (label, frame index)
for name, start, vowel, end in marks:
    moments.append((name[0] + "-", frame_at(origin + start + 0.02 - lag_ms / 1000)))
for name, start, vowel, end in marks:
    moments.append((name, frame_at(origin + (vowel + min(end, vowel + 0.16)) / 2 - lag_ms / 1000)))

with tempfile.TemporaryDirectory() as folder:
    wanted = sorted({index for _, index in moments})
    select = "+".join(f"eq(n\\,{i})" for i in wanted)
    subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-i", capture, "-map", "0:v", "-vf", f"select='{select}'",
                    "-vsync", "0", os.path.join(folder, "f%04d.png")], check=True)
    files = {index: os.path.join(folder, f"f{k + 1:04d}.png") for k, index in enumerate(wanted)}
    tiles = []
    for label, index in moments:
        # The face from the eyes to the chin, where the mouth moves.
        face = files[index] + ".face.png"
        subprocess.run(["/usr/bin/convert", files[index], "-crop", "128x128+68+64", "+repage", face], check=True)
        tiles += ["-label", label, face]
    subprocess.run(["/usr/bin/montage", *tiles, "-tile", f"{len(marks)}x2", "-geometry", "128x128+2+2",
                    "-pointsize", "14", output], check=True)

#!/usr/bin/env python3
"""Writes the two tunes of the program as Standard MIDI Files (format 1, 480 ticks per quarter note).

    python3 tools/tunes/make_tunes.py [output folder]      (default: data/ of the source tree)
    python3 tools/tunes/make_tunes.py --check [folder]     exit status 1 when a file there differs

bwyy.mid is the memo reminder: a gentle music-box waltz in F major, about 8 s.
dsyy.mid is the alarm: a lively xylophone tune in C major with bass and drums, about 10 s.

Each part is a note list in a small text form, bar lines "|" for the eye only:
    NOTE:STEP        C5:1  A#4:.5     note name with octave (C4 = 60) or a key number (drums: 42:.5),
                                     STEP beats until the next token
    NOTE:STEP~LEN    F3:1~3          sounds LEN beats while the next token starts after STEP
    A+B+C:STEP       F3+A3+C4:3      a chord
    r:STEP                           a rest
    ...@VEL          C6:1@96         velocity of that token (else the part's own)
The output is byte-for-byte reproducible, so the committed files can be checked against this script.
"""
import os
import struct
import sys

DIVISION = 480
NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def note_number(name):
    if name.isdigit():  # a General MIDI drum key on channel 10
        return int(name)
    pitch = NOTE_NAMES[name[0]]
    rest = name[1:]
    if rest.startswith("#"):
        pitch, rest = pitch + 1, rest[1:]
    elif rest.startswith("b"):
        pitch, rest = pitch - 1, rest[1:]
    return 12 * (int(rest) + 1) + pitch


def parse_notes(text, velocity):
    """(start tick, length in ticks, note, velocity) for every note of a note list."""
    notes, tick = [], 0
    for token in text.replace("|", " ").split():
        vel = velocity
        if "@" in token:
            token, vel_text = token.split("@")
            vel = int(vel_text)
        names, timing = token.split(":")
        step_text, _, length_text = timing.partition("~")
        step = round(float(step_text) * DIVISION)
        length = round(float(length_text) * DIVISION) if length_text else step
        if names != "r":
            for name in names.split("+"):
                notes.append((tick, length, note_number(name), vel))
        tick += step
    end = max([tick] + [start + length for start, length, _, _ in notes])
    return notes, end


def var_len(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)


def chunk(kind, body):
    return kind + struct.pack(">I", len(body)) + body


def track(events, end_tick):
    """events: (tick, order, bytes); note-offs (order 0) go before note-ons (order 1) at the same tick."""
    body, last = b"", 0
    for tick, _, data in sorted(events, key=lambda e: (e[0], e[1])):
        body += var_len(tick - last) + data
        last = tick
    body += var_len(end_tick - last) + b"\xff\x2f\x00"
    return chunk(b"MTrk", body)


def meta(kind, data):
    return b"\xff" + bytes([kind]) + var_len(len(data)) + data


def conductor_track(name, bpm, numerator, end_tick):
    tempo = round(60_000_000 / bpm)
    denominator_power = 2  # quarter notes
    events = [
        (0, 0, meta(0x03, name.encode("ascii"))),
        (0, 0, meta(0x51, tempo.to_bytes(3, "big"))),
        (0, 0, meta(0x58, bytes([numerator, denominator_power, 24, 8]))),
    ]
    return track(events, end_tick)


def part_track(part, end_tick):
    channel = part["channel"]
    events = [(0, 0, meta(0x03, part["name"].encode("ascii")))]
    if channel != 9:
        events.append((0, 0, bytes([0xC0 | channel, part["program"]])))
    for controller, value in ((7, part.get("volume", 100)), (10, part.get("pan", 64)), (91, part.get("reverb", 40))):
        events.append((0, 0, bytes([0xB0 | channel, controller, value])))
    notes, _ = parse_notes(part["notes"], part["velocity"])
    for start, length, note, vel in notes:
        events.append((start, 1, bytes([0x90 | channel, note, vel])))
        events.append((start + length, 0, bytes([0x80 | channel, note, 0])))
    return track(events, end_tick)


def tune_bytes(tune):
    end_tick = max(parse_notes(p["notes"], p["velocity"])[1] for p in tune["parts"])
    tracks = [conductor_track(tune["name"], tune["bpm"], tune["beats_per_bar"], end_tick)]
    tracks += [part_track(p, end_tick) for p in tune["parts"]]
    header = chunk(b"MThd", struct.pack(">HHH", 1, len(tracks), DIVISION))
    return header + b"".join(tracks)


# The memo reminder: four bars of 3/4 at 90 beats a minute (8 s), music box over harp and a soft pad;
# F, B flat, C seventh, F, the melody settling on the third.
REMINDER = {
    "name": "Quillet reminder",
    "bpm": 90,
    "beats_per_bar": 3,
    "parts": [
        {"name": "Music box", "channel": 0, "program": 10, "velocity": 84, "reverb": 70,
         "notes": "C6:1 A5:.5 C6:.5 F6:1 | D6:1 F6:.5 D6:.5 A#5:1 | E6:.5 D6:.5 C6:1 A#5:1 | A5:3"},
        {"name": "Harp", "channel": 1, "program": 46, "velocity": 58, "pan": 48, "reverb": 60,
         "notes": "F3:1~3 C4:1~2 A4:1 | A#2:1~3 F3:1~2 D4:1 | C3:1~3 G3:1~2 A#3:1 | F2+C3+F3+A3:3"},
        {"name": "Warm pad", "channel": 2, "program": 89, "velocity": 40, "volume": 80, "pan": 80,
         "notes": "A3+C4:3 | A#3+D4:3 | A#3+E4:3 | A3+C4:3"},
    ],
}


def drum_bars(bars):
    """Closed hi-hat in eighths, bass drum on 1 and 3, snare on 2 and 4; the last bar ends on a crash."""
    hats = " ".join(["42:.5"] * 8 * (bars - 1) + ["42:.5"] * 4 + ["r:2"])
    kicks = " ".join(["36:2~.5"] * 2 * (bars - 1) + ["36:2~.5", "36+49:2"])
    snares = " ".join(["r:1 38:1~.5 r:1 38:1~.5"] * (bars - 1) + ["r:1 38:1~.5 r:2"])
    return hats, kicks, snares


ALARM_HATS, ALARM_KICKS, ALARM_SNARES = drum_bars(6)

# The alarm: six bars of 4/4 at 144 beats a minute (10 s), xylophone over brass stabs, bass and drums;
# C, D minor, E minor to A minor, G, F to G, C.
ALARM = {
    "name": "Quillet alarm",
    "bpm": 144,
    "beats_per_bar": 4,
    "parts": [
        {"name": "Xylophone", "channel": 0, "program": 13, "velocity": 104, "reverb": 30,
         "notes": "C5:.5 E5:.5 G5:.5 C6:.5 G5:.5 E5:.5 G5:1 | D5:.5 F5:.5 A5:.5 D6:.5 A5:.5 F5:.5 A5:1 | "
                  "E5:.5 G5:.5 B5:.5 E6:.5 D6:.5 C6:.5 B5:.5 A5:.5 | G5:.5 A5:.5 B5:.5 C6:.5 D6:1 G5:1 | "
                  "F5:.5 A5:.5 C6:.5 A5:.5 G5:.5 B5:.5 D6:1 | E6:.5 D6:.5 C6:.5 G5:.5 C6:2@112"},
        {"name": "Brass", "channel": 1, "program": 61, "velocity": 70, "volume": 84, "pan": 44, "reverb": 30,
         "notes": "r:1 E4+G4+C5:1~.4 r:1 E4+G4+C5:1~.4 | r:1 F4+A4+D5:1~.4 r:1 F4+A4+D5:1~.4 | "
                  "r:1 E4+G4+B4:1~.4 r:1 E4+A4+C5:1~.4 | r:1 D4+G4+B4:1~.4 r:1 D4+G4+B4:1~.4 | "
                  "r:1 F4+A4+C5:1~.4 r:1 D4+G4+B4:1~.4 | r:1 E4+G4+C5:1~.4 E4+G4+C5:2@84"},
        {"name": "Bass", "channel": 2, "program": 33, "velocity": 92, "pan": 64, "reverb": 10,
         "notes": "C3:1 G2:1 C3:1 G2:1 | D3:1 A2:1 D3:1 A2:1 | E3:1 B2:1 A2:1 E2:1 | G2:1 D3:1 G2:1 B2:1 | "
                  "F2:1 C3:1 G2:1 D3:1 | C3:1 G2:1 C2:2"},
        {"name": "Hi-hat", "channel": 9, "program": 0, "velocity": 60, "pan": 72, "reverb": 20, "notes": ALARM_HATS},
        {"name": "Kick", "channel": 9, "program": 0, "velocity": 96, "reverb": 20, "notes": ALARM_KICKS},
        {"name": "Snare", "channel": 9, "program": 0, "velocity": 80, "reverb": 30, "notes": ALARM_SNARES},
    ],
}


def main():
    args = sys.argv[1:]
    check = "--check" in args
    args = [a for a in args if a != "--check"]
    default_folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")
    folder = os.path.normpath(args[0] if args else default_folder)
    if not check:
        os.makedirs(folder, exist_ok=True)
    stale = []
    for file_name, tune in (("bwyy.mid", REMINDER), ("dsyy.mid", ALARM)):
        path = os.path.join(folder, file_name)
        if check:
            try:
                with open(path, "rb") as committed:
                    if committed.read() != tune_bytes(tune):
                        stale.append(path)
            except OSError:
                stale.append(path)
            continue
        with open(path, "wb") as out:
            out.write(tune_bytes(tune))
        print(path)
    for path in stale:
        print(f"{path} differs from its note list: run tools/tunes/make_tunes.py", file=sys.stderr)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())

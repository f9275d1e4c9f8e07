#!/usr/bin/env python3
"""Writes starting inputs for the fuzzers: whole games played by the autopilot, with
answers, retries, pauses, focus changes and clicks, so that mutation starts from deep in
the game (the quiz screens, later levels, game over) instead of from the title."""

import os
import struct
import sys

# Event codes of fuzz/event_driver.cpp (the op byte modulo 16).
KEY_DOWN, KEY_UP, CLICK, FOCUS_IN, FOCUS_OUT = 0, 2, 3, 4, 5
TICK_SHORT, TICK_MINUTE, TICK_ANY, TICKS_16MS, AUTOPILOT, TAP, FRAME = 6, 8, 9, 10, 12, 14, 15
KEYS = ["left", "right", "space", "enter", "esc", "a", "b", "c", "d", "m", "o", "r",
        "1", "2", "3", "4", "other"]


def key(name):
    return KEYS.index(name)


def header(seed, frequency_index=0, best=None, leave_title=True):
    flags = frequency_index | (0x8 if best is not None else 0) | (0x10 if leave_title else 0)
    return struct.pack("<IBQBQ", seed, flags, best or 0, 0, 1000)


def autopilot(ticks_quarter=255, dodge=True, offset=0):
    aim = ((offset * 4) & 0xFE) | (1 if dodge else 0)
    return bytes([AUTOPILOT, ticks_quarter, aim])


def tap(name):
    return bytes([TAP, key(name)])


def click(x, y, w, h):
    # Window size kind 2: any size, read as two 16-bit numbers.
    return bytes([CLICK]) + struct.pack("<hhBHH", x, y, 2, w, h)


def frame(size_kind=0):
    return bytes([FRAME, size_kind, 0])


def play_levels(levels, answer_by_click=False):
    out = b""
    for level in range(levels):
        out += autopilot() * 14 + frame()
        # Answer each position in turn: the wrong ones show the wrong screen and retry.
        for position, name in enumerate("abcd"):
            if answer_by_click:
                out += click(400, 194 + 76 * position + 30, 800, 600)
            else:
                out += tap(name)
            out += frame(4)
            out += tap("r") if position < 3 else b""
        out += tap("space") + tap("enter")
    return out


def main(folder):
    os.makedirs(folder, exist_ok=True)
    seeds = {
        "title-only": header(1, leave_title=False) + tap("m") + tap("left") + frame(),
        "three-levels": header(7) + play_levels(3),
        "levels-by-click": header(99, frequency_index=2) + play_levels(2, answer_by_click=True),
        "game-over": header(5) + bytes([AUTOPILOT, 255, 0x80]) * 30 + tap("o") + tap("b")
        + click(400, 320, 800, 600) + click(800, 900, 1600, 1200) + tap("space") + tap("r"),
        "pause-focus": header(3, frequency_index=1) + autopilot(40) + tap("space") + bytes([TICK_MINUTE, 0x30, 0x75])
        + tap("space") + bytes([FOCUS_OUT]) + bytes([TICKS_16MS, 200]) + bytes([FOCUS_IN]) + autopilot(),
        "stored-best": header(8, best=999_999_990) + play_levels(1),
        "odd-windows": header(4) + b"".join(bytes([FRAME, k * 4, 1]) for k in range(14)),
    }
    for name, data in seeds.items():
        with open(os.path.join(folder, "seed-" + name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "seeds"))

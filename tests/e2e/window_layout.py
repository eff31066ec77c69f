#!/usr/bin/env python3
"""The main window as it first appears on a real X server: a client area of 455 x 470 below the
menu bar, centred on the screen, not resizable, with the quick help filling the play area; and
Exit closes it cleanly.

Usage: window_layout.py PROGRAM (inside an X server, e.g. under xvfb-run)
"""

import os
import re
import sys

import xsession as xs
from xsession import Failure

SCREENSHOTS = ["startup.png"]
HELP_LEFT = HELP_TOP = 8  # the panel's corner in the client area
HELP_WIDTH, HELP_HEIGHT = 440, 427


def check(condition, message):
    if not condition:
        raise Failure(message)


def check_size(window, main):
    check(10 <= main.menu_height <= 60, f"the menu bar measured {main.menu_height} pixels high")
    client = (window.width, window.height - main.menu_height)
    check(client == (xs.CLIENT_WIDTH, xs.CLIENT_HEIGHT),
          f"client area {client[0]} x {client[1]} below a {main.menu_height}-pixel menu bar, "
          f"expected {xs.CLIENT_WIDTH} x {xs.CLIENT_HEIGHT}")


def check_centred(window, shot):
    left, right = window.x, shot.width - window.x - window.width
    top, bottom = window.y, shot.height - window.y - window.height
    # An odd leftover pixel has to go to one side or the other.
    check(abs(left - right) <= 1 and abs(top - bottom) <= 1,
          f"window at {window}: {left} pixels to its left and {right} to its right, "
          f"{top} above and {bottom} below")


def check_fixed_size(window):
    hints = xs.run("xprop", "-id", str(window.id), "WM_NORMAL_HINTS")
    minimum = re.search(r"minimum size: (\d+) by (\d+)", hints)
    maximum = re.search(r"maximum size: (\d+) by (\d+)", hints)
    size = (str(window.width), str(window.height))
    check(minimum and maximum and minimum.groups() == size and maximum.groups() == size,
          f"the window should ask for a fixed size of {size[0]} x {size[1]}; its hints say:\n{hints}")


def check_quick_help(main, shot):
    def at(x, y):
        return shot.pixel(*main.client_point(x, y))

    right, bottom = HELP_LEFT + HELP_WIDTH - 1, HELP_TOP + HELP_HEIGHT - 1
    corners = {"top-left": (HELP_LEFT, HELP_TOP), "bottom-right": (right, bottom)}
    for name, (x, y) in corners.items():
        check(at(x, y) == xs.HELP_GREY, f"the quick help's {name} corner at ({x}, {y}) is {at(x, y)}")
    for x, y in [(HELP_LEFT - 1, HELP_TOP), (HELP_LEFT, HELP_TOP - 1), (right + 1, bottom), (right, bottom + 1)]:
        check(at(x, y) == xs.BLACK, f"the play area around the quick help is not black at ({x}, {y})")
    # The instructions are written on the grey; most of the panel is still background.
    samples = [at(x, y) for x in range(HELP_LEFT, right, 11) for y in range(HELP_TOP, bottom, 11)]
    grey = sum(colour == xs.HELP_GREY for colour in samples) / len(samples)
    check(grey > 0.6, f"only {grey:.0%} of the quick-help panel is its light grey")
    # ...and the instructions are there to read: dark text on it.
    inked = sum(xs.dark(at(x, y)) for y in range(HELP_TOP, bottom, 3) for x in range(HELP_LEFT, right))
    check(inked > 300, f"the quick-help panel shows no instructions ({inked} dark pixels sampled)")


def run_test(workdir, program_path):
    with xs.Session(program_path, workdir) as program:
        window = program.wait_for_window("the main window", xs.is_main_window)
        shot, main = xs.wait_for(lambda: xs.quick_help_shown(window), "the quick help to be drawn")
        shot.save(os.path.join(workdir, "startup.png"))
        check_size(window, main)
        check_centred(window, shot)
        check_fixed_size(window)
        check_quick_help(main, shot)

        check(len(main.menu_items) == 4, f"expected four titles in the menu bar, found {main.menu_items}")
        xs.click(*main.menu_items[3])  # Exit
        status = program.wait_for_exit()
        check(status == 0, f"the program exited with status {status} after Exit")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(xs.main(lambda workdir: run_test(workdir, sys.argv[1]), SCREENSHOTS))

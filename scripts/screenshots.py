#!/usr/bin/env python3
"""Plays the game in an X server and keeps three pictures of its window for the README: the quick
help at start-up, a game in progress, and a finished game.

Usage: screenshots.py PROGRAM OUTPUT_FOLDER (inside an X server; scripts/screenshots runs it)
"""

import colorsys
import math
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import xsession as xs  # noqa: E402

SIZE = 440  # the largest picture the play area shows at its own size
N = 4  # the board size the game starts with
CELL = SIZE // N
SAMPLES = [(dx, dy) for dx in (15, 40, 70, 95) for dy in (15, 40, 70, 95)]


def make_picture():
    """A rose of flat colours around the centre: sectors by hue, rings by shade. Every cell of a
    4 x 4 board shows a different part of it, so each piece can be recognised on screen."""
    rows = []
    for y in range(SIZE):
        row = bytearray()
        for x in range(SIZE):
            dx, dy = x - SIZE / 2 + 0.5, y - SIZE / 2 + 0.5
            sector = int((math.atan2(dy, dx) + math.pi) / (2 * math.pi) * 16) % 16
            ring = int(math.hypot(dx, dy) // 34)
            hue = (sector / 16 + ring * 0.04) % 1.0
            saturation = 0.45 + 0.15 * (ring % 3)
            value = 0.97 - 0.035 * ring - 0.06 * (sector % 2)
            row += bytes(round(channel * 255) for channel in colorsys.hsv_to_rgb(hue, saturation, value))
        rows.append(bytes(row))
    return rows


def read_board(win, picture):
    """The board on screen, a piece number for each cell in reading order (0 for the black blank
    cell), found by comparing sample points with the picture; None if it is not readable."""
    pixel = xs.screen()
    board = []
    for index in range(N * N):
        row, column = divmod(index, N)
        left, top = xs.ORIGIN + column * CELL, xs.ORIGIN + row * CELL
        seen = [pixel(*win.at(left + dx, top + dy)) for dx, dy in SAMPLES]
        if all(colour == xs.BLACK for colour in seen):
            board.append(0)
            continue
        best, best_distance = None, None
        for piece in range(1, N * N + 1):
            home_row, home_column = divmod(piece - 1, N)
            distance = 0
            for (dx, dy), colour in zip(SAMPLES, seen):
                line = picture[home_row * CELL + dy]
                x = (home_column * CELL + dx) * 3
                distance += sum(abs(a - b) for a, b in zip(colour, line[x:x + 3]))
            if best_distance is None or distance < best_distance:
                best, best_distance = piece, distance
        if best_distance > len(SAMPLES) * 12:
            return None
        board.append(best)
    return board if len(set(board)) == N * N else None


def snap(win, path):
    """Keeps the part of the screen the main window covers, message boxes over it included."""
    crop = f"{win.width}x{win.height}+{win.x}+{win.y}"
    xs.run("import", "-window", "root", "-crop", crop, "+repage", f"png24:{path}")


def play(program, folder, output, picture_path, picture):
    os.makedirs(home := os.path.join(folder, "home"), mode=0o700, exist_ok=True)
    game, win, _ = xs.start(program, home)
    snap(win, os.path.join(output, "quick-help.png"))

    xs.keys(win, "ctrl+l")
    dialog = xs.other_window(win, "the file dialog")
    xs.run("xdotool", "windowfocus", dialog.id, "type", "--delay", 30, picture_path)
    xs.run("xdotool", "key", "Return")
    xs.wait_for(lambda: read_board(win, picture) == list(range(1, N * N + 1)), "the picture to be shown")

    xs.keys(win, "F5")
    board = xs.wait_for(lambda: read_board(win, picture), "a dealt board")
    for move, _ in enumerate(xs.solve(win, board, lambda: read_board(win, picture), N, CELL)):
        if move == 2:
            snap(win, os.path.join(output, "game-in-progress.png"))

    box = xs.other_window(win, "the message box")
    snap(win, os.path.join(output, "game-finished.png"))
    xs.keys(box, "Return")
    xs.wait_for(lambda: len(xs.windows()) == 1, "the message box to close")
    xs.choose_exit(win)
    game.wait(60)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    program_path, output = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(output, exist_ok=True)
    picture = make_picture()
    with tempfile.TemporaryDirectory(prefix="tilmora-screenshots-") as workdir:
        picture_path = os.path.join(workdir, "rose.png")
        ppm = b"P6 %d %d 255\n" % (SIZE, SIZE) + b"".join(picture)
        xs.run("convert", "ppm:-", f"png24:{picture_path}", stdin=ppm)
        try:
            play(program_path, workdir, output, picture_path, picture)
        except AssertionError as failure:
            sys.exit(f"screenshots: {failure}")
    for name in ("quick-help.png", "game-in-progress.png", "game-finished.png"):
        print(os.path.join(output, name))


if __name__ == "__main__":
    main()

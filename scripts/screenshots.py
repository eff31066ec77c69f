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
from xsession import Failure  # noqa: E402

SIZE = 440  # the largest picture the play area shows at its own size
N = 4  # the board size the game starts with
CELL = SIZE // N
BLANK = xs.BLANK
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


def read_board(main, picture):
    """The board on screen, a piece number for each cell in reading order (BLANK for the black
    blank cell), found by comparing sample points with the picture; None if it is not readable."""
    shot = xs.Screenshot.take()
    board = []
    for index in range(N * N):
        row, column = divmod(index, N)
        seen = [shot.pixel(*main.client_point(xs.PICTURE_ORIGIN + column * CELL + dx,
                                              xs.PICTURE_ORIGIN + row * CELL + dy)) for dx, dy in SAMPLES]
        if all(colour == xs.BLACK for colour in seen):
            board.append(BLANK)
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


def play(program, output, picture_path, picture):
    window = program.wait_for_window("the main window", xs.is_main_window)
    shot, main = xs.wait_for(lambda: xs.quick_help_shown(window), "the quick help to be drawn")
    shot.save(os.path.join(output, "quick-help.png"), window)

    xs.focus(window)
    xs.key("ctrl+l")
    dialog = program.wait_for_window("the file dialog", lambda w: not w.override_redirect and w.id != window.id)
    xs.wait_for(lambda: xs.Screenshot.take().pixel(dialog.x + dialog.width // 2, dialog.y + 10) != xs.BLACK,
                "the file dialog to be drawn")
    xs.focus(dialog)
    xs.type_text(picture_path)
    xs.key("Return")
    xs.wait_for(lambda: read_board(main, picture) == list(range(1, N * N + 1)), "the picture to be shown")

    xs.focus(window)
    xs.key("F5")
    board = xs.wait_for(lambda: read_board(main, picture), "a dealt board")
    solved_with_blank = [BLANK] + list(range(2, N * N + 1))
    for move in range(3 * N * N):
        if move == 3:
            xs.Screenshot.take().save(os.path.join(output, "game-in-progress.png"), window)
        target = xs.next_click(board)
        expected = xs.after_click(board, target)
        xs.click(*xs.cell_centre(main, target, N, CELL))
        if expected == solved_with_blank:
            break
        board = xs.wait_for(lambda wanted=expected: read_board(main, picture) == wanted and wanted,
                            f"the board to become {expected}")
    else:
        raise Failure("the board was not solved")

    box = program.wait_for_window("the message box", lambda w: not w.override_redirect and w.id != window.id)
    xs.wait_for(lambda: xs.Screenshot.take().pixel(box.x + box.width // 2, box.y + 5) != xs.BLACK,
                "the message box to be drawn")
    xs.Screenshot.take().save(os.path.join(output, "game-finished.png"), window)
    xs.focus(box)
    xs.key("Return")
    xs.wait_for(lambda: [w.id for w in program.windows()] == [window.id], "the message box to close")
    xs.click(*main.menu_items[3])  # Exit
    program.wait_for_exit()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    program_path, output = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(output, exist_ok=True)
    picture = make_picture()
    with tempfile.TemporaryDirectory(prefix="tilmora-screenshots-") as workdir:
        picture_path = os.path.join(workdir, "rose.png")
        xs.write_png(picture_path, SIZE, SIZE, b"".join(picture))
        try:
            with xs.Session(program_path, workdir) as program:
                play(program, output, picture_path, picture)
        except Failure as failure:
            sys.exit(f"screenshots: {failure}")
    for name in ("quick-help.png", "game-in-progress.png", "game-finished.png"):
        print(os.path.join(output, name))


if __name__ == "__main__":
    main()

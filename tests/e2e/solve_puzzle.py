#!/usr/bin/env python3
"""A whole game as a player plays it: load a picture through the file dialog, choose 3*3 in the
menu, start with F5, solve the board on Easy by clicking pieces, acknowledge "Game is over." and
leave through Exit.

The picture is a 3 x 3 grid of flat colours, so every piece can be told from a screenshot by
its colour and the blank cell is the black one.

Usage: solve_puzzle.py PROGRAM (inside an X server, e.g. under xvfb-run)
"""

import os
import sys
import tempfile

import xsession as xs
from xsession import Failure

# Piece k's colour is COLOURS[k - 1]: far from each other, from black and from the help grey.
COLOURS = [
    (220, 40, 40), (40, 170, 60), (40, 80, 220),
    (240, 200, 30), (150, 60, 190), (30, 190, 200),
    (240, 130, 30), (230, 90, 200), (110, 70, 30),
]
N = 3
CELL = 100  # the picture is 300 x 300, under the 440 limit, so it is shown at its own size
BLANK = xs.BLANK
SCREENSHOTS = ["loaded.png", "dealt.png", "game-over.png", "solved.png"]


def read_cell(shot, main, index):
    """The piece shown in a cell (BLANK for the black blank cell), or None when the cell is not one
    flat colour of the picture (mid-repaint, covered, or cut on another grid)."""
    row, column = divmod(index, N)
    found = set()
    for dy in (15, 50, 85):
        for dx in (15, 50, 85):
            x, y = main.client_point(xs.PICTURE_ORIGIN + column * CELL + dx,
                                     xs.PICTURE_ORIGIN + row * CELL + dy)
            colour = shot.pixel(x, y)
            if xs.close_to(colour, xs.BLACK):
                found.add(BLANK)
                continue
            matches = [piece for piece, reference in enumerate(COLOURS, 1) if xs.close_to(colour, reference)]
            if len(matches) != 1:
                return None
            found.add(matches[0])
    return found.pop() if len(found) == 1 else None


def read_board(main):
    """The board on screen as a list of pieces in reading order, or None if it cannot be read."""
    shot = xs.Screenshot.take()
    board = [read_cell(shot, main, index) for index in range(N * N)]
    return None if None in board else board


def wait_for_board(main, description, accept, timeout=xs.DEFAULT_TIMEOUT):
    last = []

    def readable():
        board = read_board(main)
        last[:] = [board]
        return board if board is not None and accept(board) else None

    try:
        return xs.wait_for(readable, description, timeout)
    except Failure as failure:
        raise Failure(f"{failure}; the board last read {last[0] if last else None}") from None


def dealt(board):
    """Exactly one blank, every other piece once: a board in play."""
    return sorted(board) == [BLANK] + list(range(2, N * N + 1))


def whole_picture(board):
    return board == list(range(1, N * N + 1))


def choose_three_by_three(program, main):
    option = main.menu_items[1]
    xs.click(*option)
    option_menu = program.wait_for_window("the Option menu", lambda w: w.override_redirect)
    # The menu's entries are Level and Squares Size; find their rows of text and click the second.
    rows = text_rows(option_menu)
    if len(rows) != 2:
        raise Failure(f"expected 2 entries in the Option menu, found text rows at {rows}")
    xs.click(option_menu.x + option_menu.width // 3, rows[1])
    sizes_menu = program.wait_for_window(
        "the Squares Size menu", lambda w: w.override_redirect and w.id != option_menu.id)
    rows = text_rows(sizes_menu)
    if len(rows) != 3:
        raise Failure(f"expected 3*3, 4*4 and 6*6 in the Squares Size menu, found text rows at {rows}")
    xs.click(sizes_menu.x + sizes_menu.width // 3, rows[0])
    xs.wait_for(lambda: not any(w.override_redirect for w in program.windows()), "the menus to close")


def text_rows(menu):
    """The vertical centres of a popup menu's lines of text, found as runs of dark rows."""
    shot = xs.wait_for(lambda: painted(menu), f"the menu {menu} to be drawn")
    inked = [any(xs.dark(shot.pixel(x, y)) for x in range(menu.x + 4, menu.x + menu.width - 4))
             for y in range(menu.y + 2, menu.y + menu.height - 2)]
    rows, start = [], None
    for offset, ink in enumerate(inked + [False]):
        if ink and start is None:
            start = offset
        elif not ink and start is not None:
            rows.append(menu.y + 2 + (start + offset) // 2)
            start = None
    return rows


def painted(window):
    """A screenshot once the window shows something besides black, else None."""
    shot = xs.Screenshot.take()
    centre = shot.pixel(window.x + window.width // 2, window.y + window.height // 2)
    return shot if centre != xs.BLACK else None


def message_box(program, main):
    def is_box(window):
        return (not window.override_redirect and window.id != main.window.id and
                window.name.strip() == xs.MESSAGE_TITLE)

    return program.wait_for_window(f'a message box titled "{xs.MESSAGE_TITLE}"', is_box)


def play(workdir, program_path):
    with tempfile.TemporaryDirectory(prefix="tilmora-picture-") as picture_folder:
        picture = os.path.join(picture_folder, "colours.png")
        xs.write_grid_picture(picture, COLOURS, CELL)
        with xs.Session(program_path, workdir) as program:
            play_game(program, workdir, picture)


def play_game(program, workdir, picture):
    window = program.wait_for_window("the main window", xs.is_main_window)
    # The quick help fills the play area once the window is drawn; then the menu bar can be read.
    _, main = xs.wait_for(lambda: xs.quick_help_shown(window), "the quick help to be drawn")
    if len(main.menu_items) != 4:
        raise Failure(f"expected Game, Option, Quick Help and Exit in the menu bar, found {main.menu_items}")

    # Game > Load Picture by its shortcut; the dialog's file name field takes the typed path.
    xs.focus(window)
    xs.key("ctrl+l")
    dialog = program.wait_for_window("the file dialog", lambda w: not w.override_redirect and w.id != window.id)
    xs.wait_for(lambda: painted(dialog), "the file dialog to be drawn")
    xs.focus(dialog)
    xs.type_text(picture)
    xs.key("Return")
    xs.wait_for(lambda: len(program.windows()) == 1, "the file dialog to close")
    wait_for_board(main, "the whole picture after loading", whole_picture)
    xs.Screenshot.take().save(os.path.join(workdir, "loaded.png"))

    choose_three_by_three(program, main)
    xs.focus(window)
    xs.key("F5")
    board = wait_for_board(main, "a dealt 3 x 3 board with one blank cell", dealt)
    xs.Screenshot.take().save(os.path.join(workdir, "dealt.png"))

    # Each click sends one piece home, or, with the blank home, opens a new cycle: a 3 x 3 board
    # takes at most 12 clicks.
    solved_with_blank = [BLANK] + list(range(2, N * N + 1))
    for _ in range(2 * N * N):
        if board == solved_with_blank:
            raise Failure("every piece is home, but the game did not end")
        target = xs.next_click(board)
        expected = xs.after_click(board, target)
        xs.click(*xs.cell_centre(main, target, N, CELL))
        if expected == solved_with_blank:
            break
        board = wait_for_board(main, f"piece {board[target]} to move into the blank cell, giving {expected}",
                               lambda seen, wanted=expected: seen == wanted)
    else:
        raise Failure("the board was not solved in the expected number of clicks")

    # The last click ends the game: the message box, and behind it the missing piece in place.
    box = message_box(program, main)
    xs.wait_for(lambda: painted(box), "the message box to be drawn")
    xs.Screenshot.take().save(os.path.join(workdir, "game-over.png"))
    xs.focus(box)
    xs.key("Return")
    xs.wait_for(lambda: [w.id for w in program.windows()] == [window.id], "the message box to close")
    wait_for_board(main, "the whole picture over the finished board", whole_picture)
    xs.Screenshot.take().save(os.path.join(workdir, "solved.png"))

    xs.click(*main.menu_items[3])  # Exit
    status = program.wait_for_exit()
    if status != 0:
        raise Failure(f"the program exited with status {status} after Exit")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(xs.main(lambda workdir: play(workdir, sys.argv[1]), SCREENSHOTS))

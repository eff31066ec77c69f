"""A whole 3 x 3 game on Easy played as a screen reader plays it: through the accessibility tree
(AT-SPI) alone, finding things by role and name and pressing them, never by a place on screen.
Test: accessible.py PROGRAM, in an X display and a D-Bus session of its own."""
import atexit, os, re, subprocess, sys
import pyatspi
from gi.repository import GLib
from xsession import colours, wait_for, x_server_ready

heard = []  # the names the game announced as changed, as a screen reader hears of them

def hear():  # takes in what the game sent; until then the tree keeps what it last heard
    while GLib.MainContext.default().iteration(False):
        pass
    return heard

def find(root, role, name):  # the first descendant of that role whose name matches the pattern
    match = lambda node: node is not None and node.getRole() == role and re.fullmatch(name, node.name)
    return pyatspi.findDescendant(root, match)

def press(node):
    node.queryAction().doAction(0)

def read_table(table):  # each cell's home cell in reading order, or None for the blank
    hear()
    cells = [table.queryTable().getAccessibleAt(row, column) for row in range(3) for column in range(3)]
    homes = [re.fullmatch(r"row (\d), column (\d)(, in place)?|Blank", cell.name) for cell in cells]
    assert all(homes), f"a cell is named none of the names a cell has: {[c.name for c in cells]}"
    return [None if home[0] == "Blank" else 3 * int(home[1]) + int(home[2]) - 4 for home in homes]

def play(table):  # on Easy each press sends home the piece that belongs in the blank cell, or any stray
    presses, board = 0, read_table(table)
    while board != [None, *range(1, 9)]:
        blank = board.index(None)
        cell = board.index(blank) if blank else next(i for i, home in enumerate(board) if home not in (None, i))
        heard.clear()
        press(table.queryTable().getAccessibleAt(*divmod(cell, 3)))
        presses, board[blank], board[cell] = presses + 1, board[cell], None
        if board != [None, *range(1, 9)]:  # the last press brings the message box instead
            wait_for(lambda: read_table(table) == board, f"the board to become {board}")
            moved = table.queryTable().getAccessibleAt(*divmod(blank, 3)).name
            wait_for(lambda: {moved, "Blank"} <= set(hear()), f"'{moved}' and 'Blank' announced")
    return presses

def main(program):
    home = os.path.abspath("home")
    os.makedirs(home, mode=0o700, exist_ok=True)
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", HOME=home,
               XDG_CONFIG_HOME=home, XDG_RUNTIME_DIR=home)
    x_server_ready()
    pyatspi.Registry.registerEventListener(lambda event: heard.append(event.source.name),
                                           "object:property-change:accessible-name")
    atexit.register((game := subprocess.Popen([program, colours(home)], env=env)).kill)
    title = "Tilmora Picture Puzzle Game"
    app = wait_for(lambda: find(pyatspi.Registry.getDesktop(0), pyatspi.ROLE_APPLICATION, title), "the game")
    showing = lambda node: node and node.getState().contains(pyatspi.STATE_SHOWING)
    wait_for(lambda: showing(find(app, pyatspi.ROLE_IMAGE, "")), "the picture named on the command line")
    for item in ("3\\*3", "Easy", "Start"):
        press(find(app, pyatspi.ROLE_MENU_ITEM, item))
    table = wait_for(lambda: find(app, pyatspi.ROLE_TABLE, "Board"), "the board")
    wait_for(lambda: table.queryTable().nRows == 3 and table.childCount == 9, "a 3 x 3 board")
    presses = play(table)
    alert = wait_for(lambda: find(app, pyatspi.ROLE_ALERT, title), "the message box")
    assert find(alert, pyatspi.ROLE_LABEL, r"\s*Game is over\."), "no end message in the message box"
    assert find(app, pyatspi.ROLE_LABEL, f"Attempts: {presses}"), f"no label reads 'Attempts: {presses}'"
    assert all(cell.name.endswith(", in place") for cell in table), "the solved board is not all in place"
    press(find(alert, pyatspi.ROLE_PUSH_BUTTON, "OK"))
    wait_for(lambda: not find(app, pyatspi.ROLE_ALERT, title), "the message box to close")
    try:
        press(find(app, pyatspi.ROLE_MENU_ITEM, "Exit"))
    except Exception:  # the game may end before it answers
        pass
    assert game.wait(60) == 0, f"the program exited with status {game.returncode} after Exit"

if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except Exception as error:
        sys.exit(f"FAILED: {error!r}")

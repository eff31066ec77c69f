"""The game in X, played by xdotool and read from screenshots. Test: xsession.py PROGRAM startup|solve
(a picture named on the command line is played in orca.py)"""
import atexit, collections, glob, os, re, subprocess, sys, time

TITLE, BLACK, GREY = "Tilmora Picture Puzzle Game", (0, 0, 0), (224, 224, 224)
CLIENT_HEIGHT, ORIGIN = 470, 8  # ORIGIN: the picture's and the quick help's corner, both ways
COLOURS = [(40 + 90 * (k % 3), 40 + 90 * (k // 3), 200 - 20 * k) for k in range(9)]  # piece k + 1's

def run(*args, stdin=None):
    return subprocess.run([*map(str, args)], input=stdin, capture_output=True, check=True, timeout=120).stdout

def wait_for(condition, what, timeout=60):  # the machine is small and busy
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        assert time.monotonic() < deadline, f"gave up waiting for {what}"
        time.sleep(0.1)
    return value

def screen():  # the screen now, as (x, y) -> (r, g, b); import shows Qt's popup menus, xwd does not
    ppm = run("import", "-window", "root", "-depth", "8", "ppm:-")
    header = re.match(rb"P6\s+(\d+)\s+\d+\s+255\s", ppm)
    pixels, width = memoryview(ppm)[header.end() :], int(header[1])
    return lambda x, y: tuple(pixels[(y * width + x) * 3 :][:3])

class Window(collections.namedtuple("Window", "id x y width height")):
    def at(self, x, y):  # a point of the main window's client area, on screen
        return self.x + x, self.y + self.height - CLIENT_HEIGHT + y

def windows():
    search = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", "tilmora-puzzle",
                             "getwindowgeometry", "--shell", "%@"], capture_output=True, text=True)
    shells = re.findall(r"=(\d+)\nX=(-?\d+)\nY=(-?\d+)\nWIDTH=(\d+)\nHEIGHT=(\d+)", search.stdout)
    return [Window(*map(int, shell)) for shell in shells]

def keys(win, *names):  # no window manager gives the focus, so the window takes it
    run("xdotool", "windowfocus", win.id, "key", "--clearmodifiers", *names)

def x_server_ready():  # on a loaded machine xvfb-run may hand over before its server takes connections
    wait_for(lambda: subprocess.run(["xdpyinfo"], capture_output=True).returncode == 0, "the X server")

def start(program, home):  # returns game, window, screen at the quick help
    x_server_ready()
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", HOME=home, XDG_CONFIG_HOME=home, XDG_RUNTIME_DIR=home)
    atexit.register((game := subprocess.Popen([program], env=env)).kill)
    win = wait_for(windows, "the main window")[0]
    helped = lambda pixel: all(pixel(*win.at(x, y)) == GREY for x in (10, 445) for y in (10, 432))
    return game, win, wait_for(lambda: (pixel := screen()) and helped(pixel) and pixel, f"the quick help in {win}")

def other_window(win, what):  # the one window besides the main window, once drawn
    box = wait_for(lambda: [w for w in windows() if w.id != win.id], what)[0]
    wait_for(lambda: screen()(box.x + box.width // 2, box.y + box.height // 2) != BLACK, f"{what} drawn")
    return box

def menus(win):  # the ids of the open menus that are drawn
    boxes, pixel = [w for w in windows() if w.id != win.id], screen()
    return tuple(b.id for b in boxes if pixel(b.x + b.width // 2, b.y + b.height // 2) != BLACK)

def menu(win, *steps):
    """Clicks the Game menu's title, then walks the menus by keys, a step at a time: the step's keys,
    then a wait for the step's count of open menus, other than before. A key pressed while a menu
    opens or closes can go to the one leaving and be lost, as it is on a busy machine."""
    run("xdotool", "mousemove", "--sync", win.x + 20, win.y + 10, "click", 1)
    shown = wait_for(lambda: len(m := menus(win)) == 1 and m, "the Game menu")
    for *names, count in steps:
        keys(win, *names)
        shown = wait_for(lambda: (m := menus(win)) != shown and len(m) == count and (m or "none"),
                         f"{count} menus open after {names}")

def choose_exit(win):  # Exit is an entry of the menu bar itself: Alt+X
    keys(win, "alt+x")

def solve(win, board, read_board, n, cell):
    """Plays Easy: each click sends home the piece that belongs in the blank cell (0), or any stray."""
    while board != (solved := [0, *range(2, n * n + 1)]):
        blank = board.index(0)
        piece = blank + 1 if blank else next(p for i, p in enumerate(board) if p not in (0, i + 1))
        y, x = (ORIGIN + k * cell + cell // 2 for k in divmod(board.index(piece), n))  # its cell's centre
        run("xdotool", "mousemove", "--sync", *win.at(x, y), "click", 1)
        board = [{piece: 0, 0: piece}.get(p, p) for p in board]
        yield board == solved or wait_for(lambda: read_board() == board, f"the board to become {board}")

def startup(win, pixel):
    """The window as it first appears: centred, of a fixed size, a 455 x 470 client area below the
    menu bar, the quick help's 440 x 427 grey panel with text in the black play area."""
    width, height = map(int, run("xdotool", "getdisplaygeometry").split())
    hints = re.findall(rb"m\w+mum size: (\d+) by (\d+)", run("xprop", "-id", win.id, "WM_NORMAL_HINTS"))
    panel = [pixel(*win.at(x, y)) for x in range(8, 448) for y in range(8, 435)]
    black = [pixel(*win.at(x, y)) for x, y in ((450, 0), (7, 8), (8, 7), (448, 434), (447, 435))]
    assert max(abs(width - win.width - 2 * win.x), abs(height - win.height - 2 * win.y)) <= 1, "not centred"
    assert hints == [(b"%d" % win.width, b"%d" % win.height)] * 2, f"not of a fixed size: {hints}"
    assert win.width == 455 and pixel(*win.at(450, -1)) != BLACK and black == [BLACK] * 5, "not 455 x 470"
    assert panel[0] == panel[-1] == GREY and panel.count(GREY) > 0.6 * len(panel), "no quick help at (8, 8)"
    assert sum(sum(colour) < 330 for colour in panel) > 300, "no instructions written on the quick help"

def read_board(win):  # by colour, 0 for the black blank cell; None while a cell is not one flat colour
    pixel, pieces = screen(), {colour: k for k, colour in enumerate([BLACK, *COLOURS])}
    seen = [{pieces.get(pixel(*win.at(ORIGIN + cell % 3 * 100 + dx, ORIGIN + cell // 3 * 100 + dy)))
             for dx in (15, 50, 85) for dy in (15, 50, 85)} for cell in range(9)]
    return [min(cell) for cell in seen] if all(len(cell) == 1 and None not in cell for cell in seen) else None

def colours(home):  # a 300 x 300 picture of the 3 x 3 flat colours
    path = os.path.join(home, "colours.png")
    run("convert", "ppm:-", "-sample", "300x", "png24:" + path, stdin=b"P6 3 3 255\n" + bytes(sum(COLOURS, ())))
    return path

def solve_puzzle(win, pixel):
    """A whole game: a 3 x 3 picture of flat colours loaded through the file dialog, 3*3 chosen in
    the menu, Start, solved on Easy by clicks, "Game is over." in a message box, the whole picture."""
    path = colours(os.path.abspath("home"))
    keys(win, "ctrl+l")
    dialog = other_window(win, "the file dialog")
    run("xdotool", "windowfocus", dialog.id, "type", path)
    keys(dialog, "Return")  # to the dialog, not to whichever window has the focus by then
    wait_for(lambda: read_board(win) == [*range(1, 10)], "the picture")
    menu(win, ("Right", 1), ("Down", "Right", 2), ("Return", 0))  # Option, Squares Size, 3*3
    keys(win, "F5")  # Start
    board = wait_for(lambda: (b := read_board(win)) and sorted(b) == [0, *range(2, 10)] and b, "a 3 x 3 deal")
    run("import", "-window", "root", "dealt.png")
    list(solve(win, board, lambda: read_board(win), 3, 100))
    box = other_window(win, "the message box")
    assert run("xdotool", "getwindowname", box.id).strip() == TITLE.encode(), "no message box"
    run("import", "-window", "root", "game-over.png")
    keys(box, "Return")
    wait_for(lambda: read_board(win) == [*range(1, 10)], "the whole picture when the game is over")

if __name__ == "__main__":
    list(map(os.remove, glob.glob("*.png")))  # screenshots of an earlier run
    try:
        os.makedirs(home := os.path.abspath("home"), mode=0o700, exist_ok=True)
        game, win, pixel = start(sys.argv[1], home)
        run("import", "-window", "root", "startup.png")
        {"startup": startup, "solve": solve_puzzle}[sys.argv[2]](win, pixel)
        choose_exit(win)
        assert game.wait(60) == 0, f"the program exited with status {game.returncode} after Exit"
    except Exception as error:
        run("import", "-window", "root", "failure.png")
        sys.exit(f"FAILED: {error!r}\nscreenshots: {' '.join(map(os.path.abspath, glob.glob('*.png')))}")

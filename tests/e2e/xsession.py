"""Helpers for driving the game in a real X server the way a player does.

Everything goes through the X server: keys and clicks through xdotool (XTEST), what is on screen
through screenshots of the root window (ImageMagick's import), and which windows exist through
xdotool and xwininfo. Nothing reaches into the program. Screenshots are read here and written out
as PNG files with the Python standard library alone.
"""

import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

# Waits are generous: the tests share a small, busy machine with compilers and sanitizer builds.
DEFAULT_TIMEOUT = 60.0


class Failure(Exception):
    """A check of an end-to-end test failed; the message says what was expected."""


def run(*args, timeout=30):
    """Runs a command and returns its standard output; a failing command is a test failure."""
    done = subprocess.run(args, capture_output=True, text=True, timeout=timeout)
    if done.returncode != 0:
        raise Failure(f"{' '.join(args)} failed ({done.returncode}): {done.stderr.strip()}")
    return done.stdout


def wait_for(condition, what, timeout=DEFAULT_TIMEOUT, interval=0.1):
    """Polls condition() until it returns something truthy and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"gave up after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


# --- PNG files -----------------------------------------------------------------------------------


def write_png(path, width, height, rgb):
    """Writes 8-bit RGB pixels (bytes, row by row, no padding) as a PNG file."""

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    stride = width * 3
    raw = b"".join(b"\x00" + rgb[row * stride:(row + 1) * stride] for row in range(height))
    with open(path, "wb") as png:
        png.write(b"\x89PNG\r\n\x1a\n")
        png.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        png.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        png.write(chunk(b"IEND", b""))


def write_grid_picture(path, colours, cell_size):
    """Writes a picture of n x n flat cells, the colours given in reading order."""
    n = int(round(len(colours) ** 0.5))
    assert n * n == len(colours)
    rows = []
    for cell_row in range(n):
        line = b"".join(bytes(colours[cell_row * n + column]) * cell_size for column in range(n))
        rows.extend([line] * cell_size)
    write_png(path, n * cell_size, n * cell_size, b"".join(rows))


# --- Screenshots ---------------------------------------------------------------------------------


class Screenshot:
    """The whole screen at one moment, as ImageMagick's import reads it.

    import reads each window on its own and puts them together, so popup menus show as they do on
    screen; a single GetImage of the root window (what xwd does) leaves Qt's popups black here.
    """

    def __init__(self, ppm):
        # A binary PPM: "P6", width, height and the maximum value, separated by white space, one
        # more white-space byte, then 8-bit RGB samples row by row.
        fields, position = [], 0
        while len(fields) < 4:
            match = re.compile(rb"\s*(\S+)").match(ppm, position)
            if not match:
                raise Failure("import wrote no readable screenshot")
            fields.append(match.group(1))
            position = match.end()
        if fields[0] != b"P6" or fields[3] != b"255":
            raise Failure(f"unexpected screenshot format {fields}")
        self.width, self.height = int(fields[1]), int(fields[2])
        self._pixels = memoryview(ppm)[position + 1:]
        if len(self._pixels) < self.width * self.height * 3:
            raise Failure("the screenshot is shorter than its size says")

    @classmethod
    def take(cls):
        return cls(subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                                  capture_output=True, check=True, timeout=60).stdout)

    def pixel(self, x, y):
        """The (r, g, b) colour at a screen position."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise Failure(f"pixel ({x}, {y}) lies off the {self.width} x {self.height} screen")
        start = (y * self.width + x) * 3
        return tuple(self._pixels[start:start + 3])

    def rgb(self, left=0, top=0, width=None, height=None):
        """The pixels of a rectangle as packed 8-bit RGB."""
        width = self.width - left if width is None else width
        height = self.height - top if height is None else height
        rows = []
        for row in range(top, top + height):
            start = (row * self.width + left) * 3
            rows.append(self._pixels[start:start + width * 3])
        return b"".join(rows)

    def save(self, path, window=None):
        """Writes the screen, or only the part a window covers, as a PNG file."""
        if window is None:
            write_png(path, self.width, self.height, self.rgb())
        else:
            write_png(path, window.width, window.height,
                      self.rgb(window.x, window.y, window.width, window.height))


def close_to(colour, reference, tolerance=12):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, reference))


def dark(colour):
    return sum(colour) < 3 * 110


# --- Windows -------------------------------------------------------------------------------------


class Window:
    """A top-level window as xwininfo reports it."""

    def __init__(self, window_id):
        self.id = window_id
        info = run("xwininfo", "-id", str(window_id))

        def field(label):
            match = re.search(rf"^\s*{label}:\s*(-?\d+)", info, re.MULTILINE)
            if not match:
                raise Failure(f"xwininfo gave no '{label}' for window {window_id}")
            return int(match.group(1))

        self.x, self.y = field("Absolute upper-left X"), field("Absolute upper-left Y")
        self.width, self.height = field("Width"), field("Height")
        self.viewable = "Map State: IsViewable" in info
        self.override_redirect = "Override Redirect State: yes" in info
        name = re.search(r'^xwininfo: Window id: \S+ "(.*)"$', info, re.MULTILINE)
        self.name = name.group(1) if name else ""

    def __repr__(self):
        return f"<window {self.id} {self.name!r} {self.width}x{self.height}+{self.x}+{self.y}>"


# --- Input ---------------------------------------------------------------------------------------


def click(x, y):
    run("xdotool", "mousemove", "--sync", str(x), str(y))
    run("xdotool", "click", "1")


def key(*names):
    run("xdotool", "key", "--clearmodifiers", *names)


def type_text(text):
    run("xdotool", "type", "--delay", "30", text, timeout=120)


def focus(window):
    """Gives a window the keyboard focus. There is no window manager to ask, so set it directly."""
    run("xdotool", "windowfocus", str(window.id))


# --- The program ---------------------------------------------------------------------------------


class Program:
    """The game, started as a player would, with its output kept in a log file."""

    def __init__(self, path, workdir):
        self.workdir = workdir
        self.log_path = os.path.join(workdir, "program.log")
        private = tempfile.mkdtemp(prefix="tilmora-e2e-")
        self._private = private
        env = dict(os.environ)
        for variable in ("QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI",
                         "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "WAYLAND_DISPLAY"):
            env.pop(variable, None)
        env.update(QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=os.path.join(private, "config"),
                   XDG_RUNTIME_DIR=os.path.join(private, "runtime"), HOME=private)
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        self._log = open(self.log_path, "w")
        self.process = subprocess.Popen([path], cwd=workdir, env=env, stdout=self._log,
                                        stderr=subprocess.STDOUT)

    def windows(self):
        """The program's windows that are on screen, in no particular order."""
        self.check_running()
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", "tilmora-puzzle"],
                               capture_output=True, text=True, timeout=30)
        # xdotool exits with 1 when nothing matched; that is an answer, not an error.
        ids = [int(line) for line in found.stdout.split()]
        windows = []
        for window_id in ids:
            try:
                window = Window(window_id)
            except Failure:
                continue  # closed between the search and the look
            if window.viewable:
                windows.append(window)
        return windows

    def wait_for_window(self, what, predicate, timeout=DEFAULT_TIMEOUT):
        def find():
            matches = [window for window in self.windows() if predicate(window)]
            return matches[0] if len(matches) == 1 else None

        return wait_for(find, what, timeout)

    def log(self):
        self._log.flush()
        with open(self.log_path, errors="replace") as log:
            return log.read()

    def check_running(self):
        if self.process.poll() is not None:
            raise Failure(f"the program ended unexpectedly with status {self.process.returncode}")

    def wait_for_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program was still running {timeout:.0f} s after Exit") from None

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self._log.close()
        shutil.rmtree(self._private, ignore_errors=True)


# --- The game's own layout -----------------------------------------------------------------------

MAIN_TITLE = "Tilmora Picture Puzzle Game - Game created by www.tilmora.example"
MESSAGE_TITLE = "Tilmora Picture Puzzle Game"
CLIENT_WIDTH, CLIENT_HEIGHT = 455, 470
PICTURE_ORIGIN = 8  # the fitted picture's top-left corner in the client area, both ways
HELP_GREY = (0xE0, 0xE0, 0xE0)
BLACK = (0, 0, 0)


# Playing on Easy, with a board read as a list of piece numbers by cell and BLANK for the blank.
BLANK = 0


def next_click(board):
    """The cell to click: the piece that belongs in the blank cell, or, when the blank is home in
    the top-left corner with pieces still out of place, any piece out of place."""
    blank = board.index(BLANK)
    if blank != 0:
        return board.index(blank + 1)
    return next(index for index, piece in enumerate(board) if index != 0 and piece != index + 1)


def after_click(board, target):
    """The board once the piece in cell `target` has jumped into the blank cell."""
    result = list(board)
    blank = board.index(BLANK)
    result[blank], result[target] = result[target], BLANK
    return result


def cell_centre(main, index, n, cell):
    """The screen point at the middle of cell `index` of an n x n board of `cell`-pixel cells."""
    row, column = divmod(index, n)
    return main.client_point(PICTURE_ORIGIN + column * cell + cell // 2, PICTURE_ORIGIN + row * cell + cell // 2)


def is_main_window(window):
    return window.name.startswith(MAIN_TITLE) and not window.override_redirect


def quick_help_shown(window):
    """Once the window is drawn with the quick help in its play area, a screenshot and the window's
    measurements from it; None before. The panel's edges are looked at, clear of its text."""
    shot = Screenshot.take()
    main = MainWindow(window, shot)
    edges = [(10, 10), (227, 10), (445, 10), (10, 432), (445, 432)]
    if all(shot.pixel(*main.client_point(x, y)) == HELP_GREY for x, y in edges):
        return shot, main
    return None


class MainWindow:
    """Where things are in the main window, measured from a screenshot."""

    def __init__(self, window, shot):
        self.window = window
        # The play area is black and runs to the window's right edge; the menu bar above it is not.
        # Walking down the rightmost column finds the first row of the client area.
        column = window.x + window.width - 2
        top = window.y
        while top < window.y + window.height and shot.pixel(column, top) != BLACK:
            top += 1
        self.client_top = top
        self.client_left = window.x
        self.menu_height = top - window.y
        self.menu_items = self._menu_items(shot)

    def _menu_items(self, shot):
        """The centres of the menu bar's titles, left to right, found as runs of dark text."""
        columns = []
        for x in range(self.window.x, self.window.x + self.window.width):
            columns.append(any(dark(shot.pixel(x, y))
                               for y in range(self.window.y + 2, self.client_top - 2)))
        items, start, gap = [], None, 0
        for offset, inked in enumerate(columns + [False] * 10):
            if inked:
                start = offset if start is None else start
                gap = 0
                end = offset
            elif start is not None:
                gap += 1
                if gap > 7:  # wider than a space inside "Quick Help", narrower than between titles
                    items.append((self.window.x + (start + end) // 2, self.window.y + self.menu_height // 2))
                    start = None
        return items

    def client_point(self, x, y):
        return self.client_left + x, self.client_top + y


class Session:
    """One run of the program in a test, as a context: on the way out, whatever happened, the
    program is stopped; after a failure the screen is saved first, as failure.png."""

    def __init__(self, program_path, workdir):
        self.program_path = program_path
        self.workdir = workdir
        self.program = None

    def __enter__(self):
        # xvfb-run starts the command once Xvfb says it is ready; ask the server itself anyway, so
        # that a server that is not there fails here, plainly, rather than as a crash of the game.
        wait_for(self._display_answers, f"the X server at {os.environ.get('DISPLAY')} to answer", 30)
        # On a machine where other people run Xvfb too, Qt has now and then been turned away by a
        # server that answers everyone else. That says nothing about the game: start it again.
        attempts = 3
        for attempt in range(1, attempts + 1):
            self.program = Program(self.program_path, self.workdir)
            wait_for(self._shown_or_ended, "the program to show a window or end")
            turned_away = (self.program.process.poll() is not None and
                           "could not connect to display" in self.program.log())
            if not turned_away or attempt == attempts:
                break
            print(f"the program could not connect to the X server (attempt {attempt} of {attempts}); "
                  "starting it again", file=sys.stderr)
            self.program.stop()
            time.sleep(2)
        return self.program

    def _shown_or_ended(self):
        try:
            return bool(self.program.windows())
        except Failure:  # it ended
            return True

    @staticmethod
    def _display_answers():
        try:
            return subprocess.run(["xwininfo", "-root"], capture_output=True, timeout=10).returncode == 0
        except subprocess.TimeoutExpired:
            return False

    def __exit__(self, kind, error, trace):
        if kind is not None:
            try:
                Screenshot.take().save(os.path.join(self.workdir, "failure.png"))
            except Exception as shot_error:
                print(f"(no screenshot of the failure: {shot_error})", file=sys.stderr)
        if self.program is not None:
            self.program.stop()
        return False


def main(test, screenshot_names):
    """Runs a test in the current folder, and on failure says what went wrong and where the
    screenshots and the program's output are."""
    workdir = os.getcwd()
    for name in screenshot_names + ["failure.png"]:
        if os.path.exists(os.path.join(workdir, name)):
            os.remove(os.path.join(workdir, name))
    try:
        test(workdir)
    except Exception as error:  # every kind of failure is reported the same way
        print(f"FAILED: {error}", file=sys.stderr)
        for name in screenshot_names + ["failure.png"]:
            if os.path.exists(os.path.join(workdir, name)):
                print(f"screenshot: {os.path.join(workdir, name)}", file=sys.stderr)
        log = os.path.join(workdir, "program.log")
        if os.path.exists(log):
            print(f"program output ({log}):", file=sys.stderr)
            with open(log, errors="replace") as text:
                sys.stderr.write("".join(text.readlines()[-60:]))
        return 1
    print("passed")
    return 0

"""A whole 3 x 3 game on Easy by keyboard alone under the Orca screen reader, checked by what it says
(its log's "SPEECH OUTPUT" lines, kept on failure): menus by Alt+letter, Start, the blank, moves, pieces
arriving home, a move refused on Hard, the status bar, the end. Test: orca.py PROGRAM, in an X display
and a D-Bus session of its own."""
import atexit, json, os, re, signal, subprocess, sys, time
from xsession import colours, run, wait_for, x_server_ready

LOG, TRANSCRIPT = os.path.abspath("orca.log"), os.path.abspath("transcript.txt")

def set_up(home):  # speech written out as text; Orca's settings: desktop layout, speech on, its log flushed
    general = {"enableSpeech": True, "speechServerFactory": "speechdispatcherfactory", "keyboardLayout": 1,
               "orcaModifierKeys": ["Insert", "KP_Insert"], "enableTutorialMessages": False, "enableSound": False,
               **{key: ["Default", "default"] for key in ("profile", "activeProfile", "startingProfile")}}
    files = {".config/speech-dispatcher/modules/capture.conf": f"GenericExecuteSynth \"echo \\'$DATA\\' >> "
             f"{home}/speech.txt\"\nAddVoice \"en\" \"MALE1\" \"en\"\n", ".config/speech-dispatcher/speechd.conf":
             'AddModule "capture" "sd_generic" "capture.conf"\nDefaultModule capture\nAudioOutputMethod "alsa"\n',
             ".asoundrc": "pcm.!default { type null }\nctl.!default { type hw card 0 }\n",
             "orca/user-settings.conf": json.dumps({"general": general, "pronunciations": {}, "keybindings": {},
                                                    "profiles": {"default": {"profile": ["Default", "default"]}}}),
             "orca/orca-customizations.py": "import orca.debug\norca.debug.debugFile.reconfigure(line_buffering=True)\n"}
    for path, text in files.items():
        os.makedirs(os.path.dirname(path := os.path.join(home, path)), exist_ok=True)
        open(path, "w").write(text)
    return os.path.join(home, "orca")

class Orca:
    seen, heard = 0, []

    def spoken(self):  # what Orca said since the last step
        lines = open(LOG, errors="replace").read().split("\n") if os.path.exists(LOG) else []
        return [m[1] for m in (re.search(r" - SPEECH OUTPUT: '(.*?)'", l) for l in lines[self.seen:]) if m]

    def step(self, label, *keys, expect=None, quiet=False, timeout=30, action=None):
        """Presses the keys (or does the action), waits for Orca to say `expect` (quiet: anything) and fall
        silent: what it said. What it says from before the action on counts, however quickly it comes."""
        self.seen = len(open(LOG, errors="replace").read().split("\n"))
        found = lambda: (said := self.spoken()) and (expect is None or re.search(expect, "\n".join(said)))
        action() if action else run("xdotool", "key", "--delay", "120", *keys) if keys else None
        quiet or wait_for(found, f"Orca to say {expect!r} after {label} ({keys})", timeout)
        said = []
        while time.sleep(0.4) or (now := self.spoken()) != said:  # until nothing more comes for a moment
            said = now
        self.heard.append(f"### {label}: {' '.join(keys)}\n" + "".join(f"  said: {s}\n" for s in said))
        return said

def option(orca, label, letter, expect):
    """Alt+O, then a submenu's letter; a menu that took no keys (the first one always, with no window
    manager) is opened again. Orca reads its first item once: later it is the object it was on."""
    for attempt in range(3):
        orca.step("Option menu", "alt+o", quiet=True)
        try:
            return orca.step(label, letter, expect=expect, timeout=5 if attempt < 2 else 30)
        except AssertionError if attempt < 2 else ():  # the last try's failure is the test's
            orca.step("closed", "Escape", "Escape", quiet=True)

def other_orcas():  # this user's, an earlier test's among them until its zombie has been collected
    def named_orca(pid):
        try:
            return os.stat(f"/proc/{pid}").st_uid == os.getuid() and open(f"/proc/{pid}/comm").read() == "orca\n"
        except OSError:  # gone meanwhile
            return False
    return [pid for pid in os.listdir("/proc") if pid.isdigit() and named_orca(pid)]

def play(orca, window):
    option(orca, "Squares Size", "s", r"3\*3")
    orca.step("3*3", "3", quiet=True)
    said = orca.step("Start", "F5", expect=r"table with 3 rows 3 columns")
    assert "Board." in said, said
    tabs = [orca.step("Tab", "Tab", expect=r"piece|Blank") for _ in range(9)]  # round the board once
    blank = re.search(r"Blank, row (\d), column (\d)", "\n".join(sum(tabs, [])))
    start = cursor = ((int(blank[1]) - 1) * 3 + int(blank[2])) % 9  # the keys start after the blank
    board = {}  # cell -> home cell of the piece there, None for the blank
    for cell, said in zip(range(start + 1, start + 10), tabs):  # a new row is read whole, left to right
        cells, cell = [s for s in said if re.match(r"piece for|Blank", s)], cell % 9
        for cell, name in zip(range(cell // 3 * 3, cell // 3 * 3 + 3) if len(cells) == 3 else [cell], cells):
            home = re.match(r"piece for row (\d), column (\d)|Blank, row (\d), column (\d)", name)
            board[cell] = None if home[3] else (int(home[1]) - 1) * 3 + int(home[2]) - 1
            assert not home[3] or (int(home[3]) - 1, int(home[4]) - 1) == divmod(cell, 3), name
    assert sorted(board.values(), key=str) == [*range(1, 9), None], board

    def go_to(cell):  # by the arrow keys, a row at a time, then along it
        nonlocal cursor
        while cursor != cell:
            key = "Up" if cell // 3 < cursor // 3 else "Down" if cell // 3 > cursor // 3 else \
                  "Left" if cell < cursor else "Right"
            cursor += {"Up": -3, "Down": 3, "Left": -1, "Right": 1}[key]
            orca.step(key, key, expect=r"piece|Blank")

    go_to(blank := next(c for c, home in board.items() if home is None))
    assert not any("notification" in s for s in orca.step("Enter on the blank", "Return", quiet=True))

    option(orca, "Level", "l", "Easy")
    orca.step("Hard", "h", expect=r"piece|Blank")
    go_to(next(c for c in range(9) if abs(c // 3 - blank // 3) + abs(c % 3 - blank % 3) > 1))  # not a neighbour
    orca.step("a far piece refused on Hard", "Return", expect=r"notification Refused")
    option(orca, "Level", "l", "Easy")
    orca.step("Easy", "e", expect=r"piece|Blank")
    attempts = 1
    while any(home is not None and home != cell for cell, home in board.items()):
        blank = next(c for c, home in board.items() if home is None)
        mover = next(c for c, home in board.items() if (home == blank if blank else home not in (None, c)))
        go_to(mover)  # the piece that belongs in the blank cell, or while the blank is home, any stray one
        done = sum(home != cell for cell, home in board.items() if home is not None) == 1 and blank == board[mover]
        name = "piece for row %d, column %d" % (board[mover] // 3 + 1, board[mover] % 3 + 1)
        where = ", in place" if board[mover] == blank else f", now row {blank // 3 + 1}, column {blank % 3 + 1}"
        said = orca.step("Enter", "Return", expect="Game is over" if done else re.escape(f"notification {name}{where}."))
        board[blank], board[mover], cursor, attempts = board[mover], None, blank, attempts + 1
        if attempts == 2:
            orca.step("Status bar", "Insert+KP_Enter", "Insert+KP_Enter", expect=f"Attempts: {attempts}.")
            assert any(re.fullmatch(r"Time: \d+ Seconds\.", s) for s in orca.spoken()), orca.spoken()
    assert "Game is over." in said and "OK push button." in said, said
    orca.step("OK", "Return", quiet=True)
    said = orca.step("back in the window", expect=r"in place",  # focus given back, as a window manager does
                     action=lambda: run("xdotool", "windowfocus", "--sync", window))
    assert all(re.fullmatch(r"piece for row \d, column \d, in place\.", s) for s in said if "piece" in s), said

def main(program):
    home = os.path.abspath("home")
    os.makedirs(home, mode=0o700, exist_ok=True)
    [os.remove(stale) for stale in (LOG, TRANSCRIPT) if os.path.exists(stale)]
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_RUNTIME_DIR=home,
               XDG_DATA_HOME=os.path.join(home, "data"), GSETTINGS_BACKEND="memory", QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LANGUAGE="en")
    x_server_ready()
    def start(*args):  # in a process group of its own, ended with all it started (the bus's daemon, speech)
        process = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        atexit.register(lambda: os.killpg(process.pid, signal.SIGKILL) or process.wait())  # no zombie left behind
        return process
    start("/usr/libexec/at-spi-bus-launcher", "--launch-immediately")
    # Orca does not start beside another Orca of the user's, and one is never replaced: it may be the
    # screen reader of whoever runs the tests. An earlier test's may take a while to be collected.
    wait_for(lambda: not other_orcas(), "this user's other Orca to end", 120)
    start("orca", "-u", set_up(home), f"--debug-file={LOG}")
    wait_for(lambda: (orca := Orca()).spoken(), "Orca", 60)
    game = start(program, colours(home))
    window = wait_for(lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(game.pid)],
                                             capture_output=True, text=True).stdout.split(), "the window")[0]
    # Focused once the game has reached Orca (its link to the screen reader comes up as it starts):
    # a window made active before that is not heard.
    wait_for(lambda: re.search(r"children-changed:add .*\[application \| Tilmora Picture Puzzle Game\]",
                               open(LOG, errors="replace").read()), "the game to reach Orca")
    (orca := Orca()).step("the window", expect="Tilmora Picture Puzzle Game",
                          action=lambda: run("xdotool", "windowfocus", "--sync", window))
    try:
        play(orca, window)
    finally:
        open(TRANSCRIPT, "w").writelines(orca.heard)

if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except Exception as error:
        sys.exit(f"FAILED: {error!r}\nwhat Orca said: {TRANSCRIPT}\nOrca's log: {LOG}")

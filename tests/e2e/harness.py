"""Runs the real game under a private Xvfb and drives it like a player.

    with Game(levels=[ROOM]) as game:
        game.wait_for_play()
        game.key("Right", 0.6)
        image = game.screenshot()

Every Game gets its own X server (a free display found by Xvfb itself), its own
working folder holding a copy of media/, and is torn down on the way out even
when the test fails. Set PELMAK_KEEP=1 to keep the folder for a look.

Timeouts are generous: on a loaded two-core machine a start takes a minute.

Keys: the game polls the keyboard state once per frame and a move lasts 50
frames, so a key is held for a known time instead of tapped. There is no window
manager: the server's initial focus follows the pointer, and the harness also
sets the focus on the game's window explicitly before every key, so presses
made through XTEST reach the game whatever the pointer does.
"""
import io
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

WINDOW_TITLE = "Pelmak Orvo v1.3"
SCREEN = (1024, 768)

PREAMBLE_BYTES = 29
RECORD_BYTES = 1044
COLUMNS, ROWS = 21, 16

# Letters of a level picture: everything left out is outside (0).
PICTURE_CODES = {"-": 0, "~": 1, " ": 2, ".": 3, "#": 4, "$": 5, "@": 6, "*": 7}


# --- data files -----------------------------------------------------------

def decode_progress(data):
    """The plain text of media/dane.txt: byte i is stored shifted up by i."""
    return bytes((b - i) % 256 for i, b in enumerate(data)).decode("latin-1")


def encode_progress(text):
    """Bytes of media/dane.txt for plain text such as "0.002 2 0 5 5"."""
    return bytes((b + i) % 256 for i, b in enumerate(text.encode("latin-1")))


def grid_from_picture(picture):
    """16 rows of 21 cell codes from a picture such as
    "#####\\n#@$.#\\n#####" (see PICTURE_CODES); short rows and missing rows
    are outside; so are blank lines."""
    # Only the line break right after an opening triple quote is dropped, so
    # blank lines at the top are rows of outside.
    if picture.startswith("\n"):
        picture = picture[1:]
    lines = picture.rstrip().split("\n")
    if len(lines) > ROWS or any(len(line) > COLUMNS for line in lines):
        raise ValueError("a level picture is at most 21 x 16")
    grid = [[0] * COLUMNS for _ in range(ROWS)]
    for r, line in enumerate(lines):
        for c, letter in enumerate(line):
            grid[r][c] = PICTURE_CODES[letter]
    return grid


def level_file(levels):
    """The bytes of a level file: a 29-byte preamble, then one 1044-byte record
    per level (a header line, then 16 rows of 21 numbers). A level is a picture
    string (grid_from_picture) or 16 lists of 21 integers."""
    out = bytearray(b"Pelmak Orvo levels, test set\n")
    assert len(out) == PREAMBLE_BYTES
    for number, level in enumerate(levels, 1):
        grid = grid_from_picture(level) if isinstance(level, str) else level
        if len(grid) != ROWS or any(len(row) != COLUMNS for row in grid):
            raise ValueError("level %d is not 16 rows of 21" % number)
        body = "".join(" ".join(str(v) for v in row) + "\n" for row in grid)
        header = "level %d" % number
        pad = RECORD_BYTES - len(body) - len(header) - 1
        if pad < 0:
            raise ValueError("level %d does not fit a record" % number)
        record = (header + " " * pad + "\n" + body).encode("ascii")
        assert len(record) == RECORD_BYTES
        out += record
    return bytes(out)


# --- small helpers ----------------------------------------------------------

BOARD_OFFSET = (13, 20)
TILE = 50


def cell_corner(column, row):
    """Display pixel of a cell's top-left corner."""
    return TILE * column - BOARD_OFFSET[0], TILE * row - BOARD_OFFSET[1]


def cell_centre(column, row):
    x, y = cell_corner(column, row)
    return x + TILE // 2, y + TILE // 2


def patch_mean(image, x, y, half=4):
    """Mean RGB of the (2 half + 1)^2 pixels around (x, y)."""
    pixels = [image.getpixel((x + dx, y + dy))[:3] for dy in range(-half, half + 1) for dx in range(-half, half + 1)]
    return tuple(sum(p[i] for p in pixels) / len(pixels) for i in range(3))


def close(a, b, tolerance=14):
    return all(abs(float(x) - float(y)) <= tolerance for x, y in zip(a[:3], b[:3]))


def media_patch_colour(media, tile, x, y, level=1, half=4):
    """What a board cell drawn from atlas tile `tile` should look like around
    display pixel (x, y): the tile (mask colour transparent) over the level's
    background picture."""
    from PIL import Image
    atlas = Image.open(os.path.join(media, "gr333.png")).convert("RGBA")
    background = Image.open(os.path.join(media, "mar%d.jpg" % ((level - 1) // 10 + 1))).convert("RGB")
    corner_x = (x + BOARD_OFFSET[0]) // TILE * TILE - BOARD_OFFSET[0]
    corner_y = (y + BOARD_OFFSET[1]) // TILE * TILE - BOARD_OFFSET[1]
    tile_x, tile_y = (tile % 4) * TILE, (tile // 4) * TILE
    total = [0.0, 0.0, 0.0]
    count = 0
    for dy in range(-half, half + 1):
        for dx in range(-half, half + 1):
            px, py = x + dx, y + dy
            r, g, b, a = atlas.getpixel((tile_x + px - corner_x, tile_y + py - corner_y))
            if (r, g, b) == (255, 0, 255):
                a = 0
            under = background.getpixel((px, py))
            for i, top in enumerate((r, g, b)):
                total[i] += (top * a + under[i] * (255 - a)) / 255
            count += 1
    return tuple(t / count for t in total)


def source_dir():
    return os.environ.get("PELMAK_SOURCE") or os.path.abspath(
        os.path.join(os.path.dirname(__file__), "..", ".."))


def game_binary():
    binary = os.environ.get("PELMAK_BIN")
    if not binary:
        binary = os.path.join(os.environ.get("PELMAK_BUILD") or os.path.join(source_dir(), "build"), "pelmak")
    return binary


def close_to(colour, expected, tolerance=24):
    return all(abs(int(a) - int(b)) <= tolerance for a, b in zip(colour[:3], expected[:3]))


class Timeout(AssertionError):
    pass


class Game:
    """The game in a private X server. Keyword arguments:
    levels       list of levels for media/mapy30.txt (see level_file)
    level_text   bytes or str to write as media/mapy30.txt as it stands
    progress     plain progress text, stored shifted as media/dane.txt
    progress_bytes  bytes written to media/dane.txt as they stand
    start_timeout   seconds to wait for the window
    screen       size of the X screen (the game's display stays 1024 x 768)
    prepare      called with the working folder before the game starts
    """

    def __init__(self, levels=None, level_text=None, progress=None, progress_bytes=None,
                 start_timeout=60.0, media=None, screen=SCREEN, prepare=None):
        self.levels = levels
        self.level_text = level_text
        self.progress = progress
        self.progress_bytes = progress_bytes
        self.start_timeout = start_timeout
        self.media = media or os.path.join(source_dir(), "media")
        self.screen = screen
        self.prepare = prepare
        self.folder = None
        self.display = None
        self.window = None
        self.process = None
        self.xvfb = None
        self._exit_code = None

    # -- life cycle --

    def __enter__(self):
        try:
            self._make_folder()
            self._start_xvfb()
            self._start_game()
            self.wait_window()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _make_folder(self):
        self.folder = tempfile.mkdtemp(prefix="pelmak-e2e-")
        media = os.path.join(self.folder, "media")
        shutil.copytree(self.media, media)
        if self.levels is not None:
            self.level_text = level_file(self.levels)
        if self.level_text is not None:
            data = self.level_text.encode("latin-1") if isinstance(self.level_text, str) else self.level_text
            with open(os.path.join(media, "mapy30.txt"), "wb") as f:
                f.write(data)
        if self.progress is not None:
            self.progress_bytes = encode_progress(self.progress)
        if self.progress_bytes is not None:
            with open(os.path.join(media, "dane.txt"), "wb") as f:
                f.write(self.progress_bytes)
        elif os.path.exists(os.path.join(media, "dane.txt")):
            os.remove(os.path.join(media, "dane.txt"))
        if self.prepare:
            self.prepare(self.folder)

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        try:
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % tuple(self.screen),
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                stderr=open(os.path.join(self.folder, "xvfb.log"), "wb"))
            os.close(write_end)
            write_end = None
            number = b""
            deadline = time.time() + 30
            while not number.endswith(b"\n"):
                left = deadline - time.time()
                if left <= 0 or self.xvfb.poll() is not None:
                    raise RuntimeError("Xvfb did not start (see %s/xvfb.log)" % self.folder)
                ready, _, _ = select.select([read_end], [], [], left)
                if ready:
                    chunk = os.read(read_end, 64)
                    if not chunk:
                        raise RuntimeError("Xvfb closed its display pipe")
                    number += chunk
            self.display = ":" + number.decode().strip()
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("XAUTHORITY", None)

    def _start_game(self):
        self._stdout = open(os.path.join(self.folder, "game.out"), "wb")
        self._stderr = open(os.path.join(self.folder, "game.err"), "wb")
        self.process = subprocess.Popen([game_binary()], cwd=self.folder, env=self.env,
                                        stdout=self._stdout, stderr=self._stderr)

    def close(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait(10)
        if self.xvfb and self.xvfb.poll() is None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait(10)
        for f in (getattr(self, "_stdout", None), getattr(self, "_stderr", None)):
            if f:
                f.close()
        if self.folder and not os.environ.get("PELMAK_KEEP"):
            shutil.rmtree(self.folder, ignore_errors=True)
        elif self.folder:
            print("kept", self.folder, file=sys.stderr)

    # -- X tools --

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True,
                                text=True, timeout=60)
        if check and result.returncode != 0:
            raise RuntimeError("xdotool %s: %s" % (" ".join(map(str, args)), result.stderr.strip()))
        return result.stdout

    def find_window(self):
        """The id of the game's visible window, or None."""
        out = self.xdotool("search", "--onlyvisible", "--name", "^%s$" % WINDOW_TITLE.replace(".", r"\."),
                           check=False)
        ids = out.split()
        return ids[-1] if ids else None

    def wait_window(self, timeout=None):
        """Waits for a visible window with the game's title; returns its id."""
        timeout = timeout or self.start_timeout
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError("the game ended before its window showed (exit %s): %s"
                                   % (self.process.returncode, self.stderr_text()))
            window = self.find_window()
            if window:
                self.window = window
                return window
            time.sleep(0.1)
        raise Timeout("no window titled %r within %.0f s" % (WINDOW_TITLE, timeout))

    def geometry(self):
        """(x, y, width, height) of the game's window on the screen."""
        self.window = self.find_window() or self.window
        self._box_of = None
        out = self.xdotool("getwindowgeometry", "--shell", self.window)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def window_properties(self):
        """The X properties of the game's window, as xprop prints them."""
        self.window = self.find_window() or self.window
        return subprocess.run(["xprop", "-id", str(self.window)], env=self.env, capture_output=True,
                              text=True, timeout=60).stdout

    def full_screen(self):
        """True when the game's display is a full-screen one: Allegro marks
        those for the compositor to leave alone and gives no size limits."""
        properties = self.window_properties()
        return "_NET_WM_BYPASS_COMPOSITOR(CARDINAL) = 1" in properties and "minimum size" not in properties

    def wait_new_window(self, old, timeout=60.0):
        """Waits until the game shows a window other than `old` (a display
        re-created after a change of mode); returns its id."""
        found = self.wait_until(lambda: (lambda w: w if w and w != old else None)(self.find_window()),
                                timeout, 0.05, "a new window")
        self.window = found
        return found

    def focus(self):
        self.window = self.find_window() or self.window
        self.xdotool("windowfocus", "--sync", self.window, check=False)

    # -- input --

    def keydown(self, name):
        self.focus()
        self.xdotool("keydown", name)

    def keyup(self, name):
        self.focus()
        self.xdotool("keyup", name)

    def key(self, name, hold_seconds=0.3):
        """Holds the key for hold_seconds: long enough for the game's polling
        to see it on a slow machine."""
        self.keydown(name)
        try:
            time.sleep(hold_seconds)
        finally:
            self.keyup(name)

    def mouse_move(self, x, y):
        """Moves the pointer to (x, y) in the game's display."""
        left, top, _, _ = self._window_box()
        self.xdotool("mousemove", "--sync", left + x, top + y)

    def mouse_down(self, button=1):
        self.xdotool("mousedown", button)

    def mouse_up(self, button=1):
        self.xdotool("mouseup", button)

    def click(self, x=None, y=None, hold_seconds=0.3, button=1, settle=0.3):
        """Rests the pointer on (x, y) first, then holds the button: the game's
        hit test lags one poll behind the pointer."""
        if x is not None:
            self.mouse_move(x, y)
            time.sleep(settle)
        self.mouse_down(button)
        try:
            time.sleep(hold_seconds)
        finally:
            self.mouse_up(button)

    # -- output --

    def screenshot(self):
        """The game's display area as a PIL RGB image (1024 x 768)."""
        from PIL import Image
        try:
            # Straight from the X server: several times faster than import.
            from PIL import ImageGrab
            image = ImageGrab.grab(xdisplay=self.display).convert("RGB")
        except Exception:
            data = subprocess.run(["import", "-window", "root", "png:-"], env=self.env,
                                  capture_output=True, timeout=60).stdout
            image = Image.open(io.BytesIO(data)).convert("RGB")
        try:
            left, top, width, height = self._window_box()
        except Exception:
            return image
        return image.crop((left, top, left + width, top + height))

    def _window_box(self):
        # Without a window manager a window never moves: one look per window.
        if getattr(self, "_box_of", None) != self.window:
            self._box = self.geometry()
            self._box_of = self.window
        return self._box

    def pixel(self, x, y, image=None):
        return (image or self.screenshot()).getpixel((x, y))

    def wait_until(self, predicate, timeout=10.0, interval=0.2, what="the condition"):
        """Calls predicate() until it returns a true value; returns that value."""
        deadline = time.time() + timeout
        while True:
            value = predicate()
            if value:
                return value
            if self.process.poll() is not None and self._exit_code is None:
                self._exit_code = self.process.returncode
            if time.time() > deadline:
                raise Timeout("%s did not happen within %.1f s" % (what, timeout))
            time.sleep(interval)

    def becomes(self, predicate, timeout=30.0, interval=0.2):
        """True once predicate() holds, False if it does not within timeout."""
        try:
            return bool(self.wait_until(predicate, timeout, interval))
        except Timeout:
            return False

    def wait_still(self, timeout=60.0, gap=0.5, box=None):
        """Waits until two screenshots gap seconds apart are the same (the
        title, a build-up or a fade is over); returns the last one."""
        last = [self.screenshot().crop(box) if box else self.screenshot()]

        def settled():
            time.sleep(gap)
            shot = self.screenshot()
            shot = shot.crop(box) if box else shot
            same = shot.tobytes() == last[0].tobytes()
            last[0] = shot
            return same and shot.getbbox() is not None and shot
        return self.wait_until(settled, timeout, 0, "a still picture")

    # Where the pointer rests when a test does not need it: over no button.
    PARK = (1000, 740)
    # The info button of the top bar and the area its highlight covers.
    INFO_BUTTON = (770, 29)
    INFO_HIGHLIGHT_BOX = (741, 19, 801, 44)

    def park_pointer(self):
        self.mouse_move(*self.PARK)

    def wait_for_play(self, timeout=180.0):
        """Waits out the title, the build-up and the fade-in: returns once the
        play screen's frame loop answers the pointer (the info button lights
        up under it), with the pointer parked again and the picture still."""
        time.sleep(3.5)
        deadline = time.time() + timeout
        self.park_pointer()
        self.wait_still(timeout, gap=1.0)
        box = self.INFO_HIGHLIGHT_BOX
        while True:
            self.park_pointer()
            time.sleep(0.3)
            away = self.screenshot().crop(box).tobytes()
            self.mouse_move(*self.INFO_BUTTON)
            time.sleep(0.3)
            over = self.screenshot().crop(box).tobytes()
            if over != away:
                break
            if time.time() > deadline:
                raise Timeout("the play screen did not answer the pointer within %.0f s" % timeout)
        self.park_pointer()
        return self.wait_still(max(30.0, deadline - time.time()), gap=0.5)

    def wait_exit(self, timeout=60.0):
        """The game's exit code once it has ended."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Timeout("the game did not end within %.0f s" % timeout)

    def running(self):
        return self.process.poll() is None

    def stderr_text(self):
        self._stderr.flush()
        with open(os.path.join(self.folder, "game.err"), "rb") as f:
            return f.read().decode("utf-8", "replace")

    def read_file(self, relative):
        with open(os.path.join(self.folder, relative), "rb") as f:
            return f.read()


# --- test scripts -------------------------------------------------------------

class Results:
    """Named checks of one test script; `finish()` prints "N passed, M failed"
    and exits non-zero when anything failed. Safe to share between the
    scenarios of run_together."""

    def __init__(self):
        import threading
        self.passed = 0
        self.failed = 0
        self._lock = threading.Lock()

    def check(self, name, condition, detail=""):
        with self._lock:
            if condition:
                self.passed += 1
                print("ok   ", name, flush=True)
            else:
                self.failed += 1
                print("FAIL ", name, detail, flush=True)
        return bool(condition)

    def run(self, name, function):
        """Runs one scenario; an exception counts as one failure."""
        try:
            function(self)
        except Exception as error:
            import traceback
            with self._lock:
                traceback.print_exc()
            self.check(name + " (ran to the end)", False, repr(error))

    def run_together(self, scenarios):
        """Runs (name, function) scenarios side by side, each with its own
        game and X server: most of a scenario's time is spent waiting."""
        import threading
        threads = [threading.Thread(target=self.run, args=scenario) for scenario in scenarios]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()

    def finish(self):
        print("%d passed, %d failed" % (self.passed, self.failed))
        sys.exit(1 if self.failed or not self.passed else 0)

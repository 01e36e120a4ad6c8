"""The bad-input catalogue: one row per damaged input, what the game must do
with it, and a check that it did.

Every row runs the real game in a folder of its own. A row either plays on
(the game is quit with ESC and must end with exit code 0, having saved the
progress it should) or is fatal (exit code 1 with exactly one line on stderr
that names the file, and the progress file that was there left as it was).
Rows kept elsewhere, with their checks: damaged progress texts field by field
in tests/logic/test_progress.cpp, damaged level records cell by cell in
tests/logic/test_level_loader.cpp, a missing font and a second start-up with
the texts gone in tests/display/test_start_up.cpp, and the readers on
arbitrary bytes in tests/fuzz/.

The last scenario kills the game between writing the new progress file and
renaming it over the old one (strace stops the process at its rename, so the
game runs its own code unchanged) and checks that the old file is whole.
"""
import os
import random
import shutil
import stat
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
from harness import Game, Results, decode_progress, encode_progress, game_binary, grid_from_picture, level_file  # noqa: E402

ROOM = """
---------
---------
---------
--#######
--#@ $ .#
--#######
"""

SAVED = "0.003 3 1 1 4"           # progress the fatal rows must leave alone
NOBODY = 65534


# --- damaged inputs -------------------------------------------------------------

def truncated_level_file():
    # Level 2 stops in its fifth row, just after the target: every cell after
    # it repeats that last number, a target, so the level is not solved.
    whole = level_file([ROOM, ROOM])
    body = whole.index(b"\n", 29 + 1044) + 1
    cut = body + 42 * 4 + len("0 0 4 6 2 5 2 3")
    assert whole[cut - 1:cut] == b"3"
    return whole[:cut]


def garbage_level_file():
    return bytes(random.Random(8).randrange(256) for _ in range(3000))


def huge_numbers_level_file():
    # Outside cells hold numbers beyond any int, both signs, and one far below
    # any tile: they must not wrap into walls, boxes or a player start, and
    # must draw without overflow or delay.
    grid = grid_from_picture(ROOM)
    text = "".join(" ".join(
        "99999999999999999999" if (r, c) in ((0, 0), (15, 20)) else
        "-99999999999999999999" if (r, c) in ((1, 1), (14, 19)) else
        "-100000000" if (r, c) == (13, 18) else str(v)
        for c, v in enumerate(row)) + "\n" for r, row in enumerate(grid))
    header = "huge numbers"
    record = header + " " * (1044 - len(text) - len(header) - 1) + "\n" + text
    assert len(record) == 1044
    return b"Pelmak Orvo levels, test set\n" + record.encode("ascii")


def texts_with_directives(folder):
    path = os.path.join(folder, "media", "tekstyOrvo.txt")
    with open(path, "rb") as f:
        lines = f.read().split(b"\n")
    # Status line (a number), its two labels, the info panel's count line (a number).
    lines[43] = b"Level %s %n %d %"
    lines[44] = b"%n%n%n%s%s%s"
    lines[45] = b"100% %"
    lines[15] = b"%s levels %n %"
    with open(path, "wb") as f:
        f.write(b"\n".join(lines))


def remove(relative):
    def prepare(folder):
        os.remove(os.path.join(folder, relative))
    return prepare


def read_only_folder(folder):
    # Root writes through permissions, so the game then runs as nobody.
    for path in (os.path.join(folder, "media", name) for name in os.listdir(os.path.join(folder, "media"))):
        os.chmod(path, 0o444 if os.path.isfile(path) else 0o555)
    os.chmod(os.path.join(folder, "media"), 0o555)
    os.chmod(folder, 0o555)


def media_broken(name, content):
    def prepare(folder):
        path = os.path.join(folder, "media", name)
        data = content(open(path, "rb").read()) if callable(content) else content
        with open(path, "wb") as f:
            f.write(data)
    return prepare


def no_media_folder(folder):
    shutil.rmtree(os.path.join(folder, "media"))


# --- running the game --------------------------------------------------------------

class Wrapped:
    """Runs the game binary through a command (setpriv, strace) for one row,
    by pointing PELMAK_BIN at a small script."""

    def __init__(self, prefix):
        self.prefix = prefix

    def __enter__(self):
        self.saved = os.environ.get("PELMAK_BIN")
        if not self.prefix:
            return self
        self.folder = tempfile.mkdtemp(prefix="pelmak-wrap-")
        script = os.path.join(self.folder, "pelmak")
        with open(script, "w") as f:
            f.write("#!/bin/sh\nexec %s '%s' \"$@\"\n" % (" ".join(self.prefix), game_binary()))
        os.chmod(script, 0o755)
        os.environ["PELMAK_BIN"] = script
        return self

    def __exit__(self, *exc):
        if not self.prefix:
            return False
        if self.saved is None:
            os.environ.pop("PELMAK_BIN", None)
        else:
            os.environ["PELMAK_BIN"] = self.saved
        shutil.rmtree(self.folder, ignore_errors=True)
        return False


def as_nobody():
    return ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups"] if os.geteuid() == 0 else []


def quit_with_escape(game, timeout=120):
    """ESC is read only by the play screen and the result screen, so it is
    pressed until the game has ended; the exit code, or None."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        if not game.running():
            return game.process.returncode
        try:
            game.key("Escape", 0.4)
        except Exception:
            pass  # the window may be gone already
        time.sleep(0.6)
    return None if game.running() else game.process.returncode


def push_right(game, won=None, timeout=90):
    """Holds RIGHT from the start of play until the win: one step, then two
    pushes put the box on the target. The win is seen by its save, which puts
    a new progress file in place (or, when it cannot, by what it prints)."""
    progress = os.path.join(game.folder, "media", "dane.txt")
    before = os.stat(progress).st_ino
    won = won or (lambda: os.stat(progress).st_ino != before)
    game.wait_for_play(timeout=150)
    game.keydown("Right")
    try:
        deadline = time.time() + timeout
        while not won() and time.time() < deadline and game.running():
            time.sleep(0.2)
    finally:
        game.keyup("Right")


def show_info_panel(game):
    game.wait_for_play(timeout=150)
    game.key("i", 1.0)


def stored_progress(folder):
    path = os.path.join(folder, "media", "dane.txt")
    return decode_progress(open(path, "rb").read()) if os.path.exists(path) else None


def stderr_lines(text):
    return [line for line in text.splitlines() if line.strip()]


# --- the catalogue -------------------------------------------------------------------
#
# Rows that play on: name, Game arguments, extra setup, action while playing,
# and the progress text that must be stored once the game has been quit
# (a function of the text for rows where the play itself changes it).

PLAYS = [
    ("truncated level file", dict(level_text=truncated_level_file(), progress="0.002 2 0 2 2"),
     None, None, "0.002 2 0 2 2"),
    ("binary garbage as the level file", dict(level_text=garbage_level_file(), progress="0.002 2 0 1 1"),
     None, None,
     # A record that reads as nothing has no targets and counts as solved: the
     # run may move on, but never back.
     lambda text: text.split()[:3] == ["0.002", "2", "0"] and int(text.split()[3]) >= 1),
    ("numbers too large for an int in a level", dict(level_text=huge_numbers_level_file(), progress="0.002 2 0 1 1"),
     None, None, "0.002 2 0 1 1"),
    ("unlocked level 0", dict(levels=[ROOM], progress="0.001 3 1 0 5"), None, None, "0.001 3 1 1 5"),
    ("unlocked level 60", dict(levels=[ROOM], progress="0.001 3 1 60 5"), None, None, "0.001 3 1 1 5"),
    ("empty progress file", dict(levels=[ROOM], progress_bytes=b""), None, None,
     # Nothing was saved, so nothing can be lost: play starts at level 1.
     lambda text: text.split()[3] == "1"),
    ("NaN as the pause", dict(levels=[ROOM], progress="nan 3 0 1 5"), None, None, "0.002 3 0 1 5"),
    ("a pause of 1000 seconds", dict(levels=[ROOM], progress="1000 3 0 1 5"), None, None, "0.002 3 0 1 5"),
    ("texts with %s, %n and a lone %", dict(levels=[ROOM], progress="0.002 2 0 1 1", prepare=texts_with_directives),
     None, show_info_panel, "0.002 2 0 1 1"),
    ("missing background picture", dict(levels=[ROOM], progress="0.002 2 0 1 1", prepare=remove("media/mar1.jpg")),
     None, None, "0.002 2 0 1 1"),
    ("no sound device", dict(levels=[ROOM, ROOM], progress="0.002 2 0 1 1"),
     # The pushes sound nothing; the win opens level 2, which the quit saves.
     "no-sound", push_right, "0.002 2 0 2 2"),
]


def no_sound_environment(folder):
    # ALSA with a configuration that names no device, and no sound server.
    config = os.path.join(folder, "no-alsa.conf")
    with open(config, "w") as f:
        f.write("# no devices\n")
    return {"ALSA_CONFIG_PATH": config, "PULSE_SERVER": "unix:/nonexistent", "HOME": folder,
            "AUDIODEV": "/nonexistent"}


def run_plays_row(results, name, game_args, setup, action, expected):
    extra_env = {}
    scratch = tempfile.mkdtemp(prefix="pelmak-env-")
    if setup == "no-sound":
        extra_env = no_sound_environment(scratch)
    saved_env = {key: os.environ.get(key) for key in extra_env}
    os.environ.update(extra_env)
    try:
        with Game(**game_args) as game:
            if action:
                action(game)
            code = quit_with_escape(game)
            err = game.stderr_text()
            text = stored_progress(game.folder)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
        for key, value in saved_env.items():
            if value is None:
                os.environ.pop(key, None)
            else:
                os.environ[key] = value
    results.check("%s: plays and quits with exit code 0" % name, code == 0, (code, err[-400:]))
    results.check("%s: prints nothing" % name, not stderr_lines(err), err[-400:])
    ok = text is not None and (expected(text) if callable(expected) else text == expected)
    results.check("%s: progress saved as %s" % (name, "expected" if callable(expected) else repr(expected)),
                  ok, repr(text))


def read_only_row(results):
    name = "read-only working folder"
    before = encode_progress("0.002 2 0 1 1")
    with Wrapped(as_nobody()), Game(levels=[ROOM, ROOM], progress_bytes=before, prepare=read_only_folder) as game:
        # The win saves before the result screen, the quit saves again.
        push_right(game, won=lambda: stderr_lines(game.stderr_text()))
        code = quit_with_escape(game)
        err = game.stderr_text()
        after = game.read_file("media/dane.txt")
        leftovers = sorted(set(os.listdir(game.folder)) - {"media", "game.out", "game.err", "xvfb.log"})
    lines = stderr_lines(err)
    results.check("%s: plays and quits with exit code 0" % name, code == 0, (code, err[-400:]))
    results.check("%s: the old progress file is untouched" % name, after == before, decode_progress(after))
    # One for the save at the win, one for the save at the quit.
    results.check("%s: each of the two failed saves says so in one line naming the file" % name,
                  len(lines) == 2 and all("media/dane.txt" in line for line in lines), lines)
    results.check("%s: nothing written" % name, not leftovers, leftovers)


# Fatal rows: name, how to damage the folder, the file the one line must name.
# A display is there unless the row takes it away.
FATAL = [
    ("missing media folder", no_media_folder, "media/tm.png"),
    ("corrupt PNG (half a sprite sheet)", media_broken("gr333.png", lambda data: data[:len(data) // 2]),
     "media/gr333.png"),
    ("corrupt PNG (a text as the result picture)", media_broken("mil2.png", b"not a picture\n"), "media/mil2.png"),
    ("corrupt Ogg (a page header, then noise)",
     media_broken("Lumavale.ogg", lambda data: data[:58] + bytes(random.Random(3).randrange(256) for _ in range(4000))),
     "media/Lumavale.ogg"),
    ("missing sound sample", remove("media/s2.wav"), "media/s2.wav"),
    ("no display", None, "display"),
]


def private_display():
    """An Xvfb on a display number it picks itself, safe to run side by side."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp", "-noreset"],
                            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb", buffering=0) as pipe:
        while not number.endswith(b"\n"):
            chunk = pipe.read(64)
            if not chunk:
                xvfb.kill()
                raise RuntimeError("Xvfb did not start")
            number += chunk
    return xvfb, ":" + number.decode().strip()


def run_fatal_row(results, name, damage, names):
    folder = tempfile.mkdtemp(prefix="pelmak-bad-")
    try:
        shutil.copytree(os.path.join(os.environ.get("PELMAK_SOURCE") or ".", "media"), os.path.join(folder, "media"))
        with open(os.path.join(folder, "media", "mapy30.txt"), "wb") as f:
            f.write(level_file([ROOM]))
        saved = encode_progress(SAVED)
        if damage is not no_media_folder:
            with open(os.path.join(folder, "media", "dane.txt"), "wb") as f:
                f.write(saved)
        if damage:
            damage(folder)
        before = sorted(os.listdir(folder))
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        env.pop("XAUTHORITY", None)
        xvfb = None
        try:
            if damage is not None:
                xvfb, env["DISPLAY"] = private_display()
            run = subprocess.run([game_binary()], cwd=folder, env=env, capture_output=True, timeout=120)
        finally:
            if xvfb:
                xvfb.terminate()
                xvfb.wait(10)
        lines = stderr_lines(run.stderr.decode("utf-8", "replace"))
        results.check("%s: exit code 1" % name, run.returncode == 1, (run.returncode, lines))
        results.check("%s: one line naming %s" % (name, names),
                      len(lines) == 1 and names in lines[0] and lines[0].startswith("pelmak: "), lines)
        if damage is not no_media_folder:
            with open(os.path.join(folder, "media", "dane.txt"), "rb") as f:
                results.check("%s: saved progress untouched" % name, f.read() == saved)
        results.check("%s: nothing written" % name, sorted(os.listdir(folder)) == before, sorted(os.listdir(folder)))
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def interrupted_save(results):
    """The quit's save is stopped dead between writing media/dane.txt.new and
    renaming it: the old file must be whole. Then a complete save replaces it."""
    name = "killed in the middle of a save"
    # An unlocked level of 0 is saved as 1, so the new file differs from the old.
    old = encode_progress("0.001 4 1 0 3")
    kill_at_rename = ["strace", "-f", "-o", "/dev/null", "-e", "trace=rename,renameat,renameat2",
                      "-e", "inject=rename,renameat,renameat2:signal=SIGKILL"]
    with Wrapped(kill_at_rename), Game(levels=[ROOM], progress_bytes=old) as game:
        code = quit_with_escape(game)
        after = game.read_file("media/dane.txt")
        temporary = os.path.join(game.folder, "media", "dane.txt.new")
        written = open(temporary, "rb").read() if os.path.exists(temporary) else None
    results.check("%s: the game was killed" % name, code not in (0, 1, None), code)
    results.check("%s: the new file was written in full beside the old" % name,
                  written is not None and decode_progress(written) == "0.001 4 1 1 3",
                  written and decode_progress(written))
    results.check("%s: the old file is whole" % name, after == old, decode_progress(after))

    with Game(levels=[ROOM], progress_bytes=old) as game:
        code = quit_with_escape(game)
        after = game.read_file("media/dane.txt")
        leftover = os.path.exists(os.path.join(game.folder, "media", "dane.txt.new"))
    results.check("%s: then a complete save replaces it" % name,
                  code == 0 and decode_progress(after) == "0.001 4 1 1 3" and not leftover,
                  (code, decode_progress(after), leftover))


class RowChecks:
    """The checks of one row, kept until the rows run side by side are done."""

    def __init__(self, name):
        self.name = name
        self.checks = []
        self.error = None

    def check(self, name, condition, detail=""):
        self.checks.append((name, bool(condition), detail))
        return bool(condition)


def run_row(name, function):
    row = RowChecks(name)
    try:
        function(row)
    except Exception:
        import traceback
        row.error = traceback.format_exc()
    return row


def report(results, row):
    for name, condition, detail in row.checks:
        results.check(name, condition, detail)
    if row.error:
        print(row.error)
        results.check(row.name + " (ran to the end)", False)


if __name__ == "__main__":
    from concurrent.futures import ThreadPoolExecutor

    # Names given on the command line pick the rows whose name contains them.
    wanted = sys.argv[1:]

    def picked(name):
        return not wanted or any(word in name for word in wanted)

    # Rows that only need a folder and a display of their own run side by side
    # (most of a run is the game's own rests and fades); the rows that run the
    # game through another command or environment run one at a time after them.
    side_by_side = [(row[0], lambda r, row=row: run_fatal_row(r, *row)) for row in FATAL]
    side_by_side += [(row[0], lambda r, row=row: run_plays_row(r, *row)) for row in PLAYS if row[2] is None]
    one_by_one = [(row[0], lambda r, row=row: run_plays_row(r, *row)) for row in PLAYS if row[2] is not None]
    one_by_one += [("read-only working folder", read_only_row), ("killed in the middle of a save", interrupted_save)]

    results = Results()
    with ThreadPoolExecutor(max_workers=3) as pool:
        done = [pool.submit(run_row, name, function) for name, function in side_by_side if picked(name)]
        for future in done:
            report(results, future.result())
    for name, function in one_by_one:
        if picked(name):
            report(results, run_row(name, function))
    results.finish()

"""Play: a push moves a crate one cell, BACKSPACE takes it back, ESC saves the
progress; and the walking pause read from the progress file paces the figure."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from harness import Game, Results, cell_centre, close, decode_progress, patch_mean  # noqa: E402

# The crate at column 5 can move one cell right and no further, so however long
# a slow machine lets the key stay down, exactly one push happens. The pocket at
# the bottom keeps the level unsolved.
ROOM = """
---------------------
---------------------
---------------------
--######
--#. @$ #
--######
--#$.#
--####
"""

CORRIDOR = """
---------------------
---------------------
---------------------
-###################
-#@                #
-###################
-#$.#
-####
"""


def push_and_undo(results):
    with Game(levels=[ROOM]) as game:
        before = game.wait_for_play()
        crate = patch_mean(before, *cell_centre(6, 4))
        player = patch_mean(before, *cell_centre(5, 4))
        floor = patch_mean(before, *cell_centre(7, 4))
        results.check("crate and floor look different", not close(crate, floor, 20), (crate, floor))

        game.key("Right", 1.0)
        after = game.wait_still(gap=0.5)
        results.check("the crate landed one cell on", close(patch_mean(after, *cell_centre(7, 4)), crate),
                      patch_mean(after, *cell_centre(7, 4)))
        results.check("the player stands where the crate was", close(patch_mean(after, *cell_centre(6, 4)), player),
                      patch_mean(after, *cell_centre(6, 4)))

        game.key("BackSpace", 0.5)
        undone = game.wait_still(gap=0.5)
        results.check("undo puts the crate back", close(patch_mean(undone, *cell_centre(6, 4)), crate),
                      patch_mean(undone, *cell_centre(6, 4)))
        results.check("undo frees the cell", close(patch_mean(undone, *cell_centre(7, 4)), floor),
                      patch_mean(undone, *cell_centre(7, 4)))

        game.key("Escape", 0.3)
        results.check("ESC quits with 0", game.wait_exit() == 0, game.stderr_text()[-300:])
        # A first run saves the defaults: pause 0.002, speed 2, sound on, level 1 open, one level counted.
        saved = decode_progress(game.read_file("media/dane.txt"))
        results.check("progress saved as plain defaults", saved == "0.002 2 0 1 1", saved)
        results.check("no transfer or temporary file left", not os.path.exists(os.path.join(game.folder, "xh.txt"))
                      and not os.path.exists(os.path.join(game.folder, "media", "dane.txt.new")))


def cells_walked(speed, pause, hold):
    """Holds RIGHT for `hold` seconds at a speed; returns how many cells the figure walked."""
    with Game(levels=[CORRIDOR], progress="%s %d 0 1 1" % (pause, speed)) as game:
        game.wait_for_play()
        shot = game.screenshot()
        floor = patch_mean(shot, *cell_centre(10, 4))
        game.key("Right", hold)
        shot = game.wait_still(gap=0.5)
        for column in range(18, 1, -1):
            if not close(patch_mean(shot, *cell_centre(column, 4)), floor, 10):
                return column - 2
        return 0


def walking_speed(results):
    hold = 1.5
    slow = cells_walked(1, "0.003", hold)
    print("cells walked in %.1f s at speed 1: %d" % (hold, slow))
    # 50 frames of at least 3 ms rest each: no more than 10 moves start in 1.5 s
    # (drawing makes it fewer, the more so on a busy machine).
    results.check("speed 1 walks, at most one cell per 0.15 s", 1 <= slow <= 11, slow)


if __name__ == "__main__":
    results = Results()
    results.run("push and undo", push_and_undo)
    results.run("walking speed", walking_speed)
    results.finish()

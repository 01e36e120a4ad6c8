"""Smoke test: the game opens its window, builds the level, and ESC ends it."""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from harness import Game, Results, WINDOW_TITLE, cell_centre, close, media_patch_colour, patch_mean  # noqa: E402

# Kept below the top bar, which covers the first rows.
ROOM = """
---------
---------
---------
--#######
--#@ $ .#
--#######
"""


def scenario(results):
    with Game(levels=[ROOM]) as game:
        results.check("window titled %r" % WINDOW_TITLE,
                      game.xdotool("getwindowname", game.window).strip() == WINDOW_TITLE)
        results.check("window is 1024 x 768", game.geometry()[2:] == (1024, 768), game.geometry())
        shot = game.wait_for_play()

        # A wall tile and an outside cell, each against what the media say
        # they should look like there.
        for name, (column, row), tile in (("wall", (2, 3), 4), ("outside", (14, 10), 0), ("target", (7, 4), 3)):
            x, y = cell_centre(column, row)
            expected = media_patch_colour(game.media, tile, x, y)
            seen = patch_mean(shot, x, y)
            results.check("%s cell drawn from its tile" % name, close(seen, expected), (seen, expected))
        wall = patch_mean(shot, *cell_centre(2, 3))
        outside = patch_mean(shot, *cell_centre(14, 10))
        results.check("wall differs from the background", not close(wall, outside, 20), (wall, outside))

        game.key("Escape", 0.3)
        code = game.wait_exit(60)
        results.check("ESC ends the game with exit code 0", code == 0, (code, game.stderr_text()[-300:]))
        results.check("no snapshot file left behind", not os.path.exists(os.path.join(game.folder, "ekran.png")))


if __name__ == "__main__":
    results = Results()
    results.run("start and quit", scenario)
    results.finish()

"""The result screen at the edges of the level file: a finale after a level
that has no background picture, and a level number beyond the file.

Set PELMAK_SHOTS to a folder to keep the screenshots the checks were made on.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from harness import Game, Results, Timeout, decode_progress  # noqa: E402
from test_result_finale import (LEVEL_ONE, LIST_GREEN, TARGET_TILE, WHITE, cell_is, count_near, keep,  # noqa: E402
                                panel_heading, title_pixels)


def game_media(game):
    """The copy of media/ the game reads (the source may be remade meanwhile)."""
    return os.path.join(game.folder, "media")


def closing_list_shown(image):
    return count_near(image, (880, 58, 980, 740), LIST_GREEN, 30) > 400


def level_one_shown(game):
    shot = game.screenshot()
    return not closing_list_shown(shot) and cell_is(shot, game_media(game), 5, 2, TARGET_TILE, 1) and shot


def last_level_without_picture(results):
    # Forty-one levels: the pictures end at level 40, so level 41 is played,
    # and its finale run, without a background picture.
    with Game(levels=[LEVEL_ONE] * 41, progress="0.002 2 0 40 40") as game:
        game.wait_for_play()
        for level in (40, 41):
            game.keydown("Right")
            try:
                game.wait_until(lambda: panel_heading(game.screenshot()) > 150, timeout=180,
                                what="the result panel of level %d" % level)
            finally:
                game.keyup("Right")
            if level == 40:
                game.wait_still(60, gap=1.0, box=(400, 256, 624, 410))
                game.key("Return", 0.3)
                game.wait_until(lambda: level_one_shown(game), timeout=120, what="level 41")
        finale = game.wait_until(
            lambda: (lambda s: count_near(s, (250, 100, 350, 132), WHITE, 16) > 20 and s)(game.screenshot()),
            timeout=120, what="the finale")
        keep(finale, "finale_without_picture")
        results.check("finale runs after a level without a picture", game.running())
        closing = press_until_closing(game)
        keep(closing, "closing_after_41")
        results.check("closing screen after level 41", game.running())
        game.key("Return", 0.3)
        game.wait_until(lambda: level_one_shown(game), timeout=120, what="level 1")
        game.key("Escape", 0.3)
        code = game.wait_exit(60)
        results.check("quits cleanly", code == 0, (code, game.stderr_text()[-300:]))
        progress = decode_progress(game.read_file("media/dane.txt")).split()
        results.check("progress back at level 1", progress[3:] == ["1", "0"], progress)


def press_until_closing(game, attempts=4):
    """ENTER until the closing screen shows. A still picture can also be a
    build-up or a fade, which read no keys, so a press may go unseen; each try
    waits long enough for the closing screen to finish drawing, and a press
    while it draws is ignored, so no second press can skip past it."""
    for attempt in range(attempts):
        game.key("Return", 0.3)
        try:
            return game.wait_until(lambda: (lambda s: closing_list_shown(s) and s)(game.screenshot()),
                                   timeout=90, what="the closing screen")
        except Timeout:
            if attempt == attempts - 1:
                raise


def beyond_the_file(results):
    # Level 5 of a two-level file reads as an empty board, solved at once.
    with Game(levels=[LEVEL_ONE, LEVEL_ONE], progress="0.002 2 0 5 5") as game:
        # The panel shows only while it slides in; then the darkened frame stands still.
        def still_after_title():
            shot = game.wait_still(120, gap=1.5)
            return title_pixels(shot) < 50 and shot
        waiting = keep(game.wait_until(still_after_title, timeout=240, interval=0, what="the result screen"),
                       "beyond_waiting")
        results.check("beyond the file: the panel is not drawn after its slide-in", panel_heading(waiting) < 20)
        closing = press_until_closing(game)
        keep(closing, "beyond_closing")
        results.check("beyond the file: ENTER leads to the closing screen", game.running())
        game.key("Return", 0.3)
        shot = game.wait_until(lambda: level_one_shown(game), timeout=120, what="level 1")
        results.check("beyond the file: play goes on at level 1",
                      cell_is(shot, game_media(game), 5, 2, TARGET_TILE, 1))
        game.key("Escape", 0.3)
        code = game.wait_exit(60)
        results.check("quits cleanly", code == 0, (code, game.stderr_text()[-300:]))


if __name__ == "__main__":
    results = Results()
    results.run("finale after a level without a picture", last_level_without_picture)
    results.run("a level beyond the file", beyond_the_file)
    results.finish()

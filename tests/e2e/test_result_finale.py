"""The title, the info panel, the result screen, the finale and the closing
screen, played through with the real game on a two-level file.

Set PELMAK_SHOTS to a folder to keep the screenshots the checks were made on.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from harness import (Game, Results, cell_centre, close, decode_progress,  # noqa: E402
                     media_patch_colour, patch_mean)

# One push right solves the first level, four the second; holding RIGHT
# longer only walks into the wall.
LEVEL_ONE = """
---------
--#####
--#@$.#
--#####
"""
LEVEL_TWO = """
---------
--#########
--#@$   .#
--#########
"""
TARGET_TILE, OUTSIDE_TILE = 3, 0

TITLE_TEAL = (100, 180, 180)
PANEL_YELLOW = (200, 200, 111)
PANEL_TEAL = (120, 180, 180)
PANEL_GREEN = (111, 222, 111)
WHITE = (222, 222, 222)
LIST_GREEN = (122, 166, 122)

SHOTS = os.environ.get("PELMAK_SHOTS")


def keep(image, name):
    if SHOTS:
        os.makedirs(SHOTS, exist_ok=True)
        image.save(os.path.join(SHOTS, name + ".png"))
    return image


def count_near(image, box, colour, tolerance=24):
    """Pixels of the box within tolerance of colour."""
    left, top, right, bottom = box
    data = image.crop(box).getdata()
    return sum(1 for p in data if all(abs(p[i] - colour[i]) <= tolerance for i in range(3)))


def title_pixels(image):
    # Teal text and rule on black, at any stage of the fade-in.
    data = image.crop((380, 340, 720, 400)).getdata()
    return sum(1 for r, g, b in data if g > 50 and g > r + 30 and b > r + 30)


def panel_heading(image):
    return count_near(image, (380, 268, 644, 318), PANEL_YELLOW, 12)


def cell_is(image, media, column, row, tile, level):
    x, y = cell_centre(column, row)
    return close(patch_mean(image, x, y), media_patch_colour(media, tile, x, y, level=level))


def ink_mask(image, box):
    """Set of (x, y) in the box, relative to the ink's own top-right corner,
    whose colour is that of the closing list's text."""
    left, top, right, bottom = box
    points = [(x, y) for y in range(top, bottom) for x in range(left, right)
              if all(abs(image.getpixel((x, y))[i] - LIST_GREEN[i]) <= 40 for i in range(3))]
    if not points:
        return frozenset()
    top_ink = min(y for _, y in points)
    right_ink = max(x for x, _ in points)
    return frozenset((right_ink - x, y - top_ink) for x, y in points)


def likeness(a, b):
    return len(a & b) / max(1, len(a | b))


def scenario(results):
    with Game(levels=[LEVEL_ONE, LEVEL_TWO]) as game:
        media = os.path.join(game.folder, "media")  # the copy the game reads

        # The title is drawn, faded in and held before anything else.
        shot = game.wait_until(lambda: (lambda s: title_pixels(s) > 150 and s)(game.screenshot()),
                               timeout=30, interval=0, what="the title")
        keep(shot, "title")
        results.check("the title shows first", title_pixels(shot) > 150)

        level_one = keep(game.wait_for_play(), "level_one")
        results.check("level 1 on screen", cell_is(level_one, media, 5, 2, TARGET_TILE, 1))

        # The help panel stands while I is held and goes with its release.
        game.keydown("i")
        try:
            shot = game.wait_until(
                lambda: (lambda s: close(s.getpixel((300, 400)), PANEL_GREEN, 30)
                         and close(s.getpixel((723, 400)), PANEL_GREEN, 30) and s)(game.screenshot()),
                timeout=60, what="the info panel")
            keep(shot, "info_panel")
            results.check("info panel while I is held, its heading in teal",
                          count_near(shot, (400, 215, 612, 245), (120, 200, 200), 16) > 40)
        finally:
            game.keyup("i")
        shot = game.wait_until(lambda: (lambda s: not close(s.getpixel((300, 400)), PANEL_GREEN, 30) and s)(
            game.screenshot()), timeout=60, what="the info panel to go")
        results.check("the board is seen again where the panel stood",
                      close(shot.getpixel((300, 400)), level_one.getpixel((300, 400)), 8))

        # Level 1: one push, and the result panel slides in.
        game.keydown("Right")
        try:
            panel = game.wait_until(lambda: (lambda s: panel_heading(s) > 150 and s)(game.screenshot()),
                                    timeout=180, what="the result panel")
        finally:
            game.keyup("Right")
        # Inside the frame, which pulses: still once the slide-in is over.
        game.wait_still(60, gap=1.0, box=(400, 256, 624, 410))
        panel = keep(game.screenshot(), "result_panel")
        results.check("panel heading in yellow", panel_heading(panel) > 150, panel_heading(panel))
        results.check("level line in teal", count_near(panel, (380, 310, 644, 336), PANEL_TEAL, 16) > 40)
        results.check("push line in teal", count_near(panel, (380, 340, 644, 366), PANEL_TEAL, 16) > 40)
        results.check("prompt in white", count_near(panel, (340, 385, 684, 410), WHITE, 16) > 40)
        results.check("the top band is darkened",
                      sum(patch_mean(panel, 250, 30)) < sum(patch_mean(level_one, 250, 30)) * 0.8)

        # ENTER: level 2 builds in.
        game.key("Return", 0.3)
        level_two = game.wait_until(
            lambda: (lambda s: cell_is(s, media, 8, 2, TARGET_TILE, 2) and s)(game.screenshot()),
            timeout=120, what="level 2")
        level_two = keep(game.wait_still(60, gap=1.0), "level_two")
        results.check("level 2 on screen, panel gone",
                      cell_is(level_two, media, 8, 2, TARGET_TILE, 2) and panel_heading(level_two) < 20)

        # Level 2 is the last: the finale plays around the panel.
        game.keydown("Right")
        try:
            finale = game.wait_until(
                lambda: (lambda s: count_near(s, (380, 310, 644, 336), PANEL_YELLOW, 16) > 40
                         and count_near(s, (250, 100, 350, 132), WHITE, 16) > 20 and s)(game.screenshot()),
                timeout=240, what="the finale")
        finally:
            game.keyup("Right")
        keep(finale, "finale")
        results.check("finale: last-level line in yellow",
                      count_near(finale, (380, 310, 644, 336), PANEL_YELLOW, 16) > 40)
        results.check("finale: the counter in white", count_near(finale, (250, 100, 350, 132), WHITE, 16) > 20)
        results.check("finale: closing prompt", count_near(finale, (340, 385, 684, 410), WHITE, 16) > 40)

        # ENTER ends the run: the wall wipe, the growing picture, the list.
        game.key("Return", 0.3)
        closing = game.wait_until(
            lambda: (lambda s: count_near(s, (880, 58, 980, 740), LIST_GREEN, 30) > 400 and s)(game.screenshot()),
            timeout=240, what="the closing screen")
        closing = keep(game.wait_still(60, gap=1.0), "closing")
        # Counts are told apart by their glyphs: the row numbers "1 - " and
        # "4 - " show the same digits in the same font and colour.
        def row_box(level, left, right):
            top = 58 + 17 * (level - 1)
            return (left, top, right, top + 17)
        count_one = ink_mask(closing, row_box(1, 950, 975))
        count_two = ink_mask(closing, row_box(2, 950, 975))
        zero = ink_mask(closing, row_box(40, 950, 975))
        digit = {d: ink_mask(closing, row_box(d, 880, 925)) for d in (1, 4)}
        digit[0] = zero
        def read(mask):
            return max(digit, key=lambda d: likeness(mask, digit[d]))
        results.check("closing list: 40 rows", all(ink_mask(closing, row_box(n, 880, 975)) for n in range(1, 41)))
        results.check("closing list: level 1 took 1 push", read(count_one) == 1,
                      {d: round(likeness(count_one, m), 2) for d, m in digit.items()})
        results.check("closing list: level 2 took 4 pushes", read(count_two) == 4,
                      {d: round(likeness(count_two, m), 2) for d, m in digit.items()})
        results.check("closing list: unplayed levels show 0",
                      likeness(ink_mask(closing, row_box(3, 950, 975)), zero) > 0.9)

        # The next ENTER starts again at level 1.
        game.key("Return", 0.3)
        again = game.wait_until(
            lambda: (lambda s: cell_is(s, media, 5, 2, TARGET_TILE, 1)
                     and cell_is(s, media, 8, 2, OUTSIDE_TILE, 1) and s)(game.screenshot()),
            timeout=120, what="level 1 again")
        keep(again, "level_one_again")
        results.check("level 1 again, the closing list gone",
                      count_near(again, (880, 58, 980, 740), LIST_GREEN, 30) < 100)

        game.key("Escape", 0.3)
        code = game.wait_exit(60)
        results.check("ESC ends the game", code == 0, (code, game.stderr_text()[-300:]))
        progress = decode_progress(game.read_file("media/dane.txt")).split()
        # Pause, speed, sound, unlocked level, solved count: the run starts over.
        results.check("progress saved at level 1 with nothing solved", progress == ["0.002", "2", "0", "1", "0"],
                      progress)
        results.check("no snapshot file written", not os.path.exists(os.path.join(game.folder, "ekran.png")))


if __name__ == "__main__":
    results = Results()
    results.run("result screen and finale", scenario)
    results.finish()

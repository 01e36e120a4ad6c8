#!/usr/bin/python3
"""make screenshots: the real game under its own Xvfb, played through the
title, two shipped levels, the info panel, the menu, the level selection, the
result panel, the finale and the closing screen; PNGs into docs/screenshots/.

    /usr/bin/python3 tools/screenshots.py [--lang pl] [OUTDIR]

--lang plays with media/lang/LANG.txt as the texts file, to see that a
translation fits its panels.

SCREENSHOTS_FULL=DIR also keeps the full-size pictures there, for a close look.

Under Xvfb a grab can now and then catch a frame half drawn (a strip of the top
bar missing), so every shot of the play screen is taken until the bar is whole.
"""
import argparse
import os
import shutil
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from harness import Game, Timeout, close  # noqa: E402
from PIL import Image, ImageChops, features  # noqa: E402

WIDTH = 768                      # saved size: keeps the repository small
BUTTON_MENU = (946, 29)
MENU_ITEM_AREA = (370, 298)      # the menu's item area is a dark green
# 12 levels solved, level 13 unlocked: the game opens on level 13.
PROGRESS = "0.002 2 0 13 12"
LEVEL_BUTTON = lambda n: (500 + 45 * ((n - 1) % 10) + 20, 180 + 30 * ((n - 1) // 10) + 15)

# Solved by pushing right: the first in one push, the second in five.
# The first lies below the result panel, where it stays in sight.
SMALL_ONE = "-\n" * 10 + """\
--------#####
--------#@$.#
--------#####
"""
SMALL_TWO = """
-----------
-----------
-----------
--##########
--#@ $    .#
--#   #    #
--##########
"""


def save(image, folder, name):
    full = os.environ.get("SCREENSHOTS_FULL")
    if full:
        os.makedirs(full, exist_ok=True)
        image.save(os.path.join(full, name + ".png"))
    height = round(image.height * WIDTH / image.width)
    small = image.resize((WIDTH, height), resample=3)  # bicubic
    if features.check("libimagequant"):
        # A third of the bytes; the median-cut palette would shift the teals.
        # Through RGBA: from a resized RGB picture the quantizer reads every
        # pixel as transparent and gives one flat colour.
        small = small.convert("RGBA").quantize(256, method=Image.Quantize.LIBIMAGEQUANT, dither=Image.Dither.FLOYDSTEINBERG)
    path = os.path.join(folder, name + ".png")
    small.save(path, optimize=True)
    print("saved %s (%d bytes)" % (path, os.path.getsize(path)), flush=True)


def bar_whole(image):
    """The top bar spans the width: no black run along its middle row."""
    row = [image.getpixel((x, 29)) for x in range(0, image.width, 4)]
    return not any(all(c < 6 for c in p) for p in row)


def whole_shot(game, tries=5, gap=0.4, check=bar_whole):
    """A screenshot that passes the check; the last one if none does."""
    shot = None
    for _ in range(tries):
        shot = game.screenshot()
        if check(shot):
            return shot
        time.sleep(gap)
    print("warning: no whole frame in %d tries" % tries, flush=True)
    return shot


def menu_shown(game):
    return close(game.pixel(*MENU_ITEM_AREA), (0, 20, 0), 6)


def shipped_levels(folder, prepare):
    with Game(progress=PROGRESS, prepare=prepare) as game:
        # The title, once it has faded in and holds still.
        time.sleep(1.0)
        save(game.wait_still(60, gap=0.6), folder, "title")

        game.wait_for_play()
        save(whole_shot(game), folder, "play13")

        game.keydown("i")
        try:
            time.sleep(1.5)
            game.wait_still(60, gap=0.6)
            save(whole_shot(game), folder, "info")
        finally:
            game.keyup("i")
        time.sleep(1.0)

        game.click(*BUTTON_MENU)
        game.park_pointer()
        game.wait_until(lambda: menu_shown(game), 60, what="the menu")
        time.sleep(1.0)
        save(whole_shot(game, check=lambda s: bar_whole(s) and close(s.getpixel(MENU_ITEM_AREA), (0, 20, 0), 6)),
             folder, "menu")

        game.key("w", 0.3)
        game.wait_until(lambda: close(game.pixel(20, 100), (0, 0, 0), 2), 60, what="the level selection")
        game.mouse_move(*LEVEL_BUTTON(7))
        time.sleep(2.0)
        save(game.wait_still(60, gap=0.6), folder, "levels")

        # Level 1 from the selection.
        game.click(*LEVEL_BUTTON(1))
        game.park_pointer()
        time.sleep(3.0)
        game.wait_for_play()
        save(whole_shot(game), folder, "play")


def count_near(image, box, colour, tolerance=16):
    data = image.crop(box).getdata()
    return sum(1 for p in data if all(abs(p[i] - colour[i]) <= tolerance for i in range(3)))


def hold_until(game, key, predicate, timeout, what):
    """Holds the key until the screen shows what the predicate looks for."""
    game.keydown(key)
    try:
        return game.wait_until(lambda: (lambda s: predicate(s) and s)(game.screenshot()), timeout,
                               what=what)
    finally:
        game.keyup(key)


PANEL_YELLOW = (200, 200, 111)


def result_and_finale(folder, prepare):
    with Game(levels=[SMALL_ONE, SMALL_TWO], prepare=prepare) as game:
        game.wait_for_play()
        hold_until(game, "Right", lambda s: count_near(s, (380, 268, 644, 318), PANEL_YELLOW, 12) > 150,
                   180, "the result panel")
        # The panel slides in and then pulses inside its frame.
        game.wait_still(90, gap=1.0, box=(400, 256, 624, 410))
        save(game.screenshot(), folder, "result")

        game.key("Return", 0.3)
        time.sleep(3.0)
        game.wait_for_play()
        hold_until(game, "Right", lambda s: count_near(s, (380, 310, 644, 336), PANEL_YELLOW) > 40,
                   240, "the finale")
        # The pictures fade in slowly and the banner only later rolls in from
        # the right: wait for it, for three minutes at most (a loaded machine
        # draws only a few frames a second under Xvfb).
        start = game.screenshot()
        edge = (740, 672, 760, 756)

        def banner_in():
            diff = ImageChops.difference(game.screenshot().crop(edge), start.crop(edge)).convert("L")
            return sum(diff.getdata()) / (20 * 84) > 20
        if not game.becomes(banner_in, timeout=180, interval=2.0):
            print("warning: no banner in the finale yet", flush=True)
        save(game.screenshot(), folder, "finale")

        game.key("Return", 0.3)
        time.sleep(4.0)
        try:
            shot = game.wait_still(90, gap=1.0)
        except Timeout:
            shot = game.screenshot()
        save(shot, folder, "closing")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lang", help="texts from media/lang/LANG.txt")
    parser.add_argument("outdir", nargs="?", default=os.path.join(ROOT, "docs", "screenshots"))
    args = parser.parse_args()
    prepare = None
    if args.lang:
        texts = os.path.join(ROOT, "media", "lang", args.lang + ".txt")
        if not os.path.exists(texts):
            raise SystemExit("screenshots: no %s" % texts)

        def prepare(work):
            shutil.copyfile(texts, os.path.join(work, "media", "tekstyOrvo.txt"))
    os.makedirs(args.outdir, exist_ok=True)
    shipped_levels(args.outdir, prepare)
    result_and_finale(args.outdir, prepare)


if __name__ == "__main__":
    main()

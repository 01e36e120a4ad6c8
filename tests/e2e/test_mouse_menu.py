"""The top-bar buttons, the menu, the level selection and the setting keys,
played through the pointer and the keyboard of a private X server."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from harness import (Game, Results, cell_centre, close, decode_progress,  # noqa: E402
                     media_patch_colour, patch_mean)

# Level 1 lies low and to the right; level 3 high and to the left, so a wall
# cell of one is an outside cell of the other.
LEVEL_1 = "-\n" * 8 + """\
--------##########
--------#@ $    .#
--------#        #
--------##########
"""
LEVEL_2 = "-\n" * 5 + """\
-----#####
-----#@$.#
-----#####
"""
# The box can be pushed twice to the right and then sticks; the target lies
# out of its way, so the level is never solved here.
LEVEL_3 = "-\n" * 3 + """\
--#######
--#@$  ##
--#    .#
--#######
"""
LEVELS = [LEVEL_1, LEVEL_2, LEVEL_3, LEVEL_2, LEVEL_1]
PROGRESS = "0.002 2 0 3 3"    # levels 1 and 2 solved, level 3 unlocked

BUTTON_INFO = (770, 29)
BUTTON_RESTART = (857, 29)
BUTTON_MENU = (945, 29)
RESTART_BOX = (811, 19, 901, 44)
MENU_ITEM = {"levels": (512, 311), "resume": (512, 346), "new game": (512, 381), "quit": (512, 416)}
ITEM_AREA_PIXEL = (370, 298)          # inside the item area, left of the highlight bar
SOUND_ICON = (483, 15, 533, 45)
PREVIEW = (80, 180, 470, 480)
LEVEL_3_BOX_CELL = (4, 4)


def crop(image, box):
    return image.crop(box)


def same(a, b):
    return a.tobytes() == b.tobytes()


def mean_level(image):
    pixels = list(image.getdata())
    return sum(sum(p[:3]) for p in pixels) / (3 * len(pixels))


def switch_display_mode(game):
    """F12 held until the game has made its new window, so one press is one
    change; returns the settled picture."""
    window = game.window
    game.keydown("F12")
    try:
        game.wait_new_window(window)
    finally:
        game.keyup("F12")
    return game.wait_still()


def menu_shown(game):
    return close(game.pixel(*ITEM_AREA_PIXEL), (0, 20, 0), 6)


def board_differs(game, reference):
    shot = game.screenshot()
    return not same(crop(shot, (0, 60, 1024, 768)), crop(reference, (0, 60, 1024, 768)))


def play_screen(results):
    with Game(levels=LEVELS, progress=PROGRESS) as game:
        start = game.wait_for_play()

        # The highlight under the pointer.
        game.mouse_move(*BUTTON_RESTART)
        results.check("restart button lights up under the pointer",
                      game.becomes(lambda: not same(crop(game.screenshot(), RESTART_BOX), crop(start, RESTART_BOX))))
        game.park_pointer()
        game.wait_until(lambda: same(crop(game.screenshot(), RESTART_BOX), crop(start, RESTART_BOX)), 30,
                        what="the highlight to go")

        # Push the box, then restart with the mouse: the box is back.
        game.key("Right", 0.4)
        game.wait_until(lambda: board_differs(game, start), 30, what="the push")
        pushed = game.wait_still()
        box_x, box_y = cell_centre(*LEVEL_3_BOX_CELL)
        results.check("the push moved the box off its cell",
                      not close(patch_mean(pushed, box_x, box_y), patch_mean(start, box_x, box_y), 6))
        game.click(*BUTTON_RESTART)
        game.park_pointer()
        game.wait_until(lambda: not board_differs(game, start), 30, what="the restart")
        restarted = game.wait_still()
        results.check("restart by mouse puts the box back", same(restarted, start))

        # The info panel shows while the info button is held, and goes with it.
        game.mouse_move(*BUTTON_INFO)
        time.sleep(0.3)
        game.mouse_down()
        try:
            results.check("holding the info button shows the panel", game.becomes(lambda: board_differs(game, start)))
        finally:
            game.mouse_up()
        game.park_pointer()
        results.check("releasing it hides the panel", game.becomes(lambda: not board_differs(game, start)))

        # The menu, left by clicking its resume row, then by ENTER.
        before_menu = restarted
        game.click(*BUTTON_MENU)
        results.check("menu button opens the menu", game.becomes(lambda: menu_shown(game)))
        game.click(*MENU_ITEM["resume"])
        game.park_pointer()
        game.wait_until(lambda: not menu_shown(game), 30, what="the menu to close")
        resumed = game.wait_still()
        results.check("resume row returns to the same board", same(resumed, before_menu))
        game.click(*BUTTON_MENU)
        game.park_pointer()
        game.wait_until(lambda: menu_shown(game), 30, what="the menu")
        game.key("Return", 0.3)
        game.wait_until(lambda: not menu_shown(game), 30, what="the menu to close")
        results.check("ENTER returns to the same board", same(game.wait_still(), before_menu))
        open_menu(game)
        game.key("KP_Enter", 0.3)
        results.check("the keypad's ENTER returns too", game.becomes(lambda: not menu_shown(game)))

        # M darkens the sound icon, M again lights it; S steps the speed.
        icon = crop(resumed, SOUND_ICON)
        game.key("m", 0.3)
        game.wait_until(lambda: not same(crop(game.screenshot(), SOUND_ICON), icon), 30, what="the icon to change")
        dark = crop(game.wait_still(), SOUND_ICON)
        results.check("M darkens the sound icon", mean_level(dark) < 0.8 * mean_level(icon),
                      (mean_level(dark), mean_level(icon)))
        game.key("m", 0.3)
        game.wait_until(lambda: same(crop(game.screenshot(), SOUND_ICON), icon), 30, what="the icon to come back")
        game.key("s", 0.3)
        game.key("m", 0.3)
        game.wait_until(lambda: not same(crop(game.screenshot(), SOUND_ICON), icon), 30, what="the icon to change")

        # F12 twice: full screen, then a window of 1024 x 768 with the same board.
        before = game.wait_still()
        switch_display_mode(game)
        results.check("F12 turns the display full screen", game.full_screen(), game.window_properties())
        results.check("the full screen shows the same board", same(game.screenshot(), before))
        back = switch_display_mode(game)
        results.check("F12 again gives a window", not game.full_screen(), game.window_properties())
        results.check("the window is 1024 x 768", game.geometry()[2:] == (1024, 768), game.geometry())
        results.check("the window shows the same board and background", same(back, before))

        # The quit row ends the game with the settings saved.
        game.click(*BUTTON_MENU)
        game.wait_until(lambda: menu_shown(game), 30, what="the menu")
        game.click(*MENU_ITEM["quit"])
        code = game.wait_exit()
        results.check("quit row ends the game with exit code 0", code == 0, (code, game.stderr_text()[-300:]))
        saved = decode_progress(game.read_file("media/dane.txt")).split()
        results.check("speed 3 and sound off are saved", saved[1:3] == ["3", "1"], saved)
        results.check("the snapshot file is gone", not os.path.exists(os.path.join(game.folder, "ekran.png")))


LEVEL_1_WALL = (8, 8)     # outside in level 3
LEVEL_3_WALL = (2, 3)     # outside in level 1
UNLOCKED_BUTTON = (720, 450)


def playing(game, wall_cell):
    """The wall tile stands on the given cell of the board."""
    x, y = cell_centre(*wall_cell)
    return close(patch_mean(game.screenshot(), x, y), media_patch_colour(game.media, 4, x, y))


def open_menu(game):
    game.click(*BUTTON_MENU)
    game.park_pointer()
    game.wait_until(lambda: menu_shown(game), 30, what="the menu")


def selection_shown(game):
    return close(game.pixel(20, 100), (0, 0, 0), 2)


def open_selection(game):
    """Through the menu's W; returns the selection as it stands still."""
    open_menu(game)
    game.key("w", 0.3)
    game.wait_until(lambda: selection_shown(game), 30, what="the level selection")
    return game.wait_still()


def button_look(image, level):
    """The left strip of a level button, clear of its number."""
    x = 500 + 45 * ((level - 1) % 10)
    y = 180 + 30 * ((level - 1) // 10)
    return patch_mean(image, x + 6, y + 13, 3)


def level_selection(results):
    with Game(levels=LEVELS, progress=PROGRESS) as game:
        game.wait_for_play()
        selection = open_selection(game)
        looks = {n: button_look(selection, n) for n in (1, 2, 3, 4, 5, 6)}
        results.check("solved buttons look alike", close(looks[1], looks[2], 4), looks)
        results.check("the unlocked button looks different", not close(looks[3], looks[1], 4), looks)
        results.check("locked buttons look alike", close(looks[4], looks[5], 4), looks)
        results.check("a level beyond the file looks different from a locked one",
                      not close(looks[6], looks[5], 4), looks)

        # A locked level gives no preview; a solved one does.
        preview = crop(selection, PREVIEW)
        game.mouse_move(655 + 20, 195)
        time.sleep(1.0)
        results.check("a locked level is not previewed", same(crop(game.wait_still(), PREVIEW), preview))
        game.mouse_move(520, 195)
        results.check("pointer over solved level 1 changes the preview",
                      game.becomes(lambda: not same(crop(game.screenshot(), PREVIEW), preview)))

        # Clicking level 1 builds it up and plays it.
        game.click(520, 195)
        game.park_pointer()
        results.check("clicking level 1 starts it", game.becomes(lambda: playing(game, LEVEL_1_WALL), 60))
        game.wait_for_play()

        # The selection's own button goes back to the unlocked level.
        open_selection(game)
        game.click(*UNLOCKED_BUTTON)
        game.park_pointer()
        results.check("the latest-level button returns to level 3",
                      game.becomes(lambda: playing(game, LEVEL_3_WALL) and not playing(game, LEVEL_1_WALL), 60))
        game.wait_for_play()

        # X starts a new game from level 1.
        open_menu(game)
        game.key("x", 0.3)
        results.check("X loads level 1", game.becomes(lambda: playing(game, LEVEL_1_WALL), 60))
        game.wait_for_play()

        # ESC leaves the selection, and the game with it.
        open_selection(game)
        game.key("Escape", 0.3)
        code = game.wait_exit()
        results.check("ESC in the level selection ends the game cleanly", code == 0,
                      (code, game.stderr_text()[-300:]))
        saved = decode_progress(game.read_file("media/dane.txt")).split()
        results.check("a new game keeps the settings and starts the progress again",
                      saved == ["0.002", "2", "0", "1", "1"], saved)


def mode_change_without_full_screen_or_snapshot(results):
    """A screen with no 1024 x 768 mode, and a snapshot file that cannot be
    written (a folder stands in its place): the game plays on in a window
    with its background."""
    def block_snapshot(folder):
        os.mkdir(os.path.join(folder, "ekran.png"))

    with Game(levels=LEVELS, progress=PROGRESS, screen=(1280, 1024), prepare=block_snapshot) as game:
        before = game.wait_for_play()
        after = switch_display_mode(game)
        results.check("without the mode the game stays in a window", not game.full_screen(),
                      game.window_properties())
        results.check("the background is carried across in memory", same(after, before))
        results.check("the game goes on", game.running())
        game.key("Right", 0.4)
        game.wait_until(lambda: board_differs(game, before), 30, what="a move after the change")
        game.key("Escape", 0.3)
        code = game.wait_exit()
        results.check("and ends with exit code 0", code == 0, (code, game.stderr_text()[-300:]))


if __name__ == "__main__":
    results = Results()
    results.run_together([("play screen", play_screen), ("level selection", level_selection),
                          ("mode change fallbacks", mode_change_without_full_screen_or_snapshot)])
    results.finish()

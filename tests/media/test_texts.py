#!/usr/bin/python3
"""Checks the interface texts files against what the game does with them.

Every file in media/lang/ and media/tekstyOrvo.txt must have exactly 50
LF-terminated UTF-8 lines; each line is used as a printf format, so only the
six counting slots may hold an integer directive; every character must exist
in both game fonts; and the texts must fit where the game draws them
(widths measured by Allegro's own TrueType add-on through ctypes, so the
numbers are the game's).  Prints 'N passed, M failed' last; exits 1 on any
failure.
"""
import ctypes
import ctypes.util
import os
import re
import sys

ROOT = os.environ.get('PELMAK_SOURCE') or os.path.dirname(os.path.dirname(
    os.path.dirname(os.path.abspath(__file__))))
MEDIA = os.path.join(ROOT, 'media')
FONT_REGULAR = os.path.join(MEDIA, 'pala.ttf')
FONT_BOLD = os.path.join(MEDIA, 'palab.ttf')

SLOT_COUNT = 50
EXACTLY_ONE_INT = {7, 8, 9, 10, 15}
AT_MOST_ONE_INT = {43}
UNSHOWN = {0, 13, 34, 35, 36, 37, 42, 47, 48, 49}

# A directive: '%%' or '%' flags width [.precision] length? conversion.
DIRECTIVE = re.compile(r'%(%|[-+ #0]*\d*(?:\.\d*)?(hh|h|ll|l|j|z|t|L)?([a-zA-Z]?))')

results = []


def check(name, ok, detail=''):
    results.append(ok)
    print(('ok   - ' if ok else 'FAIL - ') + name + ('' if ok else ': ' + detail))


def directive_errors(slot, text):
    """Why `text` is not a safe format for `slot` (empty list when it is)."""
    ints = 0
    errors = []
    pos = 0
    for m in DIRECTIVE.finditer(text):
        if m.start() < pos:
            continue
        pos = m.end()
        if m.group(1) == '%':
            continue
        conv, length = m.group(3), m.group(2)
        if conv in ('d', 'i') and not length:
            ints += 1
        else:
            errors.append('directive %r' % m.group(0))
    if slot in EXACTLY_ONE_INT and ints != 1:
        errors.append('needs exactly one %%d, has %d' % ints)
    elif slot in AT_MOST_ONE_INT and ints > 1:
        errors.append('allows at most one %%d, has %d' % ints)
    elif slot not in EXACTLY_ONE_INT | AT_MOST_ONE_INT and ints:
        errors.append('takes no argument but has %d %%d' % ints)
    return errors


def load_cmap(path):
    from fontTools.ttLib import TTFont
    return set(TTFont(path).getBestCmap())


def missing_glyphs(text, cmaps):
    return sorted({ch for ch in text for cmap in cmaps if ord(ch) not in cmap})


class AllegroFonts:
    """Text widths as the game measures them: Allegro's TTF add-on."""

    def __init__(self):
        def lib(name):
            found = ctypes.util.find_library(name)
            if not found:
                raise OSError('lib%s not found' % name)
            return ctypes.CDLL(found)
        self.core = lib('allegro')
        self.font = lib('allegro_font')
        self.ttf = lib('allegro_ttf')
        self.core.al_get_allegro_version.restype = ctypes.c_uint32
        self.core.al_install_system.argtypes = [ctypes.c_int, ctypes.c_void_p]
        self.core.al_install_system.restype = ctypes.c_bool
        if not self.core.al_install_system(self.core.al_get_allegro_version(), None):
            raise OSError('al_install_system failed')
        self.font.al_init_font_addon.restype = ctypes.c_bool
        self.ttf.al_init_ttf_addon.restype = ctypes.c_bool
        self.font.al_init_font_addon()
        self.ttf.al_init_ttf_addon()
        self.ttf.al_load_ttf_font.argtypes = [ctypes.c_char_p, ctypes.c_int, ctypes.c_int]
        self.ttf.al_load_ttf_font.restype = ctypes.c_void_p
        self.font.al_get_text_width.argtypes = [ctypes.c_void_p, ctypes.c_char_p]
        self.font.al_get_text_width.restype = ctypes.c_int
        self.cache = {}

    def load(self, path, size):
        key = (path, size)
        if key not in self.cache:
            handle = self.ttf.al_load_ttf_font(path.encode(), size, 0)
            if not handle:
                raise OSError('al_load_ttf_font failed for %s at %d' % (path, size))
            self.cache[key] = handle
        return self.cache[key]

    def width(self, path, size, text):
        return self.font.al_get_text_width(self.load(path, size), text.encode('utf-8'))


def shown(slot, text):
    """The text as the game prints it (a level count of 40, 1234 pushes)."""
    arg = 1234 if slot in (9, 10) else 40
    try:
        return text % arg if slot in EXACTLY_ONE_INT or '%d' in text else text % ()
    except (TypeError, ValueError):
        return text


# (slots, font, size, widest allowed, where the text sits)
R, B = FONT_REGULAR, FONT_BOLD
WIDTH_LIMITS = [
    ((1,), R, 18, 440, 'level selection heading, over the grid x 500-945'),
    ((2,), R, 18, 122, 'label inside the 130 x 25 unlocked-level button'),
    ((3,), B, 26, 380, 'finale line from x 200, before the lines at x 590'),
    ((4, 5), R, 18, 290, 'finale lines from x 590 to the picture edge at 881'),
    ((14,), B, 26, 400, 'info panel heading, panel x 300-723'),
    ((15, 32), R, 18, 400, 'centred info panel lines, panel x 300-723'),
    ((16, 17), R, 18, 385, 'info panel lines from x 330 to the edge at 723'),
    (tuple(range(18, 25)), R, 18, 112, 'info key column x 350-470'),
    (tuple(range(25, 32)), R, 18, 245, 'info description column x 470-723'),
    ((33,), R, 18, 300, 'menu title strip, 320 wide'),
    ((38, 39, 40, 41), R, 22, 260, 'menu items, 260-wide highlight bar'),
    ((43,), R, 18, 100, 'level label, right-aligned at x 640 after the sound icon'),
    ((46,), R, 18, 96, 'finale list heading in the 100-wide side panel'),
]


def check_layout(name, slots, fonts):
    def w(path, size, slot):
        return fonts.width(path, size, shown(slot, slots[slot]))
    for group, path, size, limit, where in WIDTH_LIMITS:
        for slot in group:
            width = w(path, size, slot)
            check('%s slot %d fits (%d px, limit %d)' % (name, slot, width, limit),
                  width <= limit, '%r is too wide for the %s' % (shown(slot, slots[slot]), where))
    # The result panel is 100 px wider than its heading; its lines must
    # stay inside the 8 px frame.
    inner = w(B, 40, 6) + 100 - 2 * 12
    for slot in (7, 8, 9, 10, 11, 12):
        width = w(R, 22, slot)
        check('%s result slot %d inside panel (%d px, limit %d)' % (name, slot, width, inner),
              width <= inner, '%r overflows the panel sized by the heading' % shown(slot, slots[slot]))
    # Status bar: speed label and number from x 60, pushes label right-aligned
    # at 420; leave room for a one-digit speed and a gap.
    speed_end = 58 + w(R, 18, 44) + fonts.width(R, 22, ' 4') + 12
    pushes_start = 420 - w(R, 18, 45)
    check('%s status labels 44/45 do not collide' % name, speed_end <= pushes_start,
          'speed ends at %d, pushes label starts at %d' % (speed_end, pushes_start))


def read_slots(path):
    """Returns (slots, errors) for one texts file."""
    data = open(path, 'rb').read()
    errors = []
    try:
        text = data.decode('utf-8')
    except UnicodeDecodeError as e:
        return None, ['not UTF-8: %s' % e]
    if text.startswith('\ufeff'):
        errors.append('starts with a byte order mark (it would show in slot 0)')
    if '\r' in text:
        errors.append('has carriage returns')
    if not text.endswith('\n'):
        errors.append('last line has no line feed')
    lines = text.split('\n')
    if lines and lines[-1] == '':
        lines.pop()
    if len(lines) != SLOT_COUNT:
        errors.append('has %d lines, needs %d' % (len(lines), SLOT_COUNT))
    return lines, errors


def self_test(cmaps):
    """The checker itself must catch the faults it is there for."""
    cases = [
        (7, 'Level %d solved', True), (7, 'Level solved', False),
        (7, '%d of %d', False), (7, 'Level %s', False), (9, '%ld pushes', False),
        (1, 'Choose a level', True), (1, '100%', False), (1, '100%%', True),
        (1, 'Level %d', False), (43, 'Level', True), (43, 'Level %d', True),
        (43, '%d/%d', False), (15, '%d levels', True), (44, 'Speed: %5', False),
    ]
    for slot, text, good in cases:
        errs = directive_errors(slot, text)
        check('checker: slot %d %r is %s' % (slot, text, 'accepted' if good else 'rejected'),
              (not errs) == good, 'got %s' % (errs or 'no error'))
    check('checker: a snowman is missing from the fonts',
          missing_glyphs('a\u2603', cmaps) == ['\u2603'], 'glyph lookup does not work')


def main():
    try:
        cmaps = [load_cmap(FONT_REGULAR), load_cmap(FONT_BOLD)]
    except ImportError:
        check('fontTools available (Debian package python3-fonttools)', False, 'not installed')
        cmaps = None
    try:
        fonts = AllegroFonts()
    except OSError as e:
        check('Allegro TTF add-on usable through ctypes', False, str(e))
        fonts = None
    if cmaps:
        self_test(cmaps)

    lang_dir = os.path.join(MEDIA, 'lang')
    files = [os.path.join(MEDIA, 'tekstyOrvo.txt')]
    files += sorted(os.path.join(lang_dir, f) for f in os.listdir(lang_dir) if f.endswith('.txt'))
    check('languages en and pl present',
          {'en.txt', 'pl.txt'} <= {os.path.basename(f) for f in files})
    for path in files:
        name = os.path.relpath(path, ROOT)
        slots, errors = read_slots(path)
        check('%s: 50 LF-terminated UTF-8 lines' % name, not errors, '; '.join(errors))
        if slots is None or len(slots) < SLOT_COUNT:
            continue
        for slot, text in enumerate(slots[:SLOT_COUNT]):
            errs = directive_errors(slot, text)
            if slot not in UNSHOWN and not text.strip():
                errs.append('shown slot is empty')
            if cmaps:
                missing = missing_glyphs(text, cmaps)
                if missing:
                    errs.append('characters missing from a font: %r' % ''.join(missing))
            check('%s slot %d %r' % (name, slot, text), not errs, '; '.join(errs))
        if fonts:
            check_layout(name, slots, fonts)

    with open(os.path.join(MEDIA, 'tekstyOrvo.txt'), 'rb') as a, \
            open(os.path.join(lang_dir, 'en.txt'), 'rb') as b:
        check('tekstyOrvo.txt is the English file', a.read() == b.read())

    pl, _ = read_slots(os.path.join(lang_dir, 'pl.txt'))
    if pl and len(pl) >= 11:
        # Polish: slot 9 serves counts ending in 0, 1, 5-9 (genitive plural),
        # slot 10 those ending in 2-4 (nominative plural).
        check('pl: slot 9 uses the genitive plural', 'pchnięć' in pl[9], repr(pl[9]))
        check('pl: slot 10 uses the nominative plural', 'pchnięcia' in pl[10], repr(pl[10]))

    passed = sum(results)
    failed = len(results) - passed
    print('%d passed, %d failed' % (passed, failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())

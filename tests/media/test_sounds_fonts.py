#!/usr/bin/python3
"""Checks the generated sounds and fonts the way the game uses them.

Cues: 16-bit PCM WAV at 44.1 kHz, within their length limits, mastered with
the headroom their playback gain needs.  Music: decodes with Allegro's
acodec add-on (as al_load_sample does at start-up) to a 2-3 minute track.
Fonts: TrueType outlines (glyf), loadable by Allegro at the game's sizes.
Prints 'N passed, M failed' last; exits 1 on any failure.
"""
import ctypes
import ctypes.util
import os
import sys
import time
import wave

import numpy as np

ROOT = os.environ.get('PELMAK_SOURCE') or os.path.dirname(os.path.dirname(
    os.path.dirname(os.path.abspath(__file__))))
MEDIA = os.path.join(ROOT, 'media')

results = []


def check(name, ok, detail=''):
    results.append(ok)
    print(('ok   - ' if ok else 'FAIL - ') + name + ('' if ok else ': ' + detail), flush=True)


def lib(name):
    found = ctypes.util.find_library(name)
    if not found:
        raise OSError('lib%s not found' % name)
    return ctypes.CDLL(found)


def allegro():
    core = lib('allegro')
    core.al_get_allegro_version.restype = ctypes.c_uint32
    core.al_install_system.argtypes = [ctypes.c_int, ctypes.c_void_p]
    core.al_install_system.restype = ctypes.c_bool
    if not core.al_install_system(core.al_get_allegro_version(), None):
        raise OSError('al_install_system failed')
    return core


# (file, longest allowed in s, highest peak allowed, why that peak)
CUES = [
    ('s0.wav', 0.060, 0.5, 'a soft tick, repeated for every cell'),
    ('s2.wav', 0.300, 0.6, 'two copies at gain 0.6 stay below full scale'),
    ('s3.wav', 2.000, 1.0 / 1.4, 'played at gain 1.4 without clipping'),
]


def check_cue(name, longest, max_peak, why):
    path = os.path.join(MEDIA, name)
    with wave.open(path, 'rb') as w:
        fmt = (w.getsampwidth(), w.getframerate())
        frames = w.readframes(w.getnframes())
        channels = w.getnchannels()
        seconds = w.getnframes() / w.getframerate()
    check('%s is 16-bit PCM at 44100 Hz' % name, fmt == (2, 44100), 'got %r' % (fmt,))
    check('%s lasts under %.3f s (%.3f s)' % (name, longest, seconds),
          0 < seconds < longest, 'too long or empty')
    x = np.frombuffer(frames, dtype='<i2').astype(np.float64) / 32768.0
    x = x.reshape(-1, channels)
    peak = np.max(np.abs(x)) if len(x) else 0.0
    check('%s peak %.3f within 0.1..%.3f' % (name, peak, max_peak),
          0.1 <= peak <= max_peak, why)
    edge = max(np.max(np.abs(x[:2])), np.max(np.abs(x[-2:])))
    check('%s starts and ends near silence' % name, edge < 0.02, 'edge sample %.3f clicks' % edge)


def check_music(core):
    audio = lib('allegro_audio')
    acodec = lib('allegro_acodec')
    # Without a sound card al_install_audio fails, as it may in the game;
    # decoding works all the same.
    audio.al_install_audio.restype = ctypes.c_bool
    audio.al_install_audio()
    acodec.al_init_acodec_addon.restype = ctypes.c_bool
    acodec.al_init_acodec_addon()
    audio.al_load_sample.argtypes = [ctypes.c_char_p]
    audio.al_load_sample.restype = ctypes.c_void_p
    for fn in ('al_get_sample_length', 'al_get_sample_frequency'):
        getattr(audio, fn).argtypes = [ctypes.c_void_p]
        getattr(audio, fn).restype = ctypes.c_uint
    audio.al_destroy_sample.argtypes = [ctypes.c_void_p]
    path = os.path.join(MEDIA, 'Lumavale.ogg').encode()
    start = time.perf_counter()
    sample = audio.al_load_sample(path)
    took = time.perf_counter() - start
    check('Lumavale.ogg decodes with al_load_sample', bool(sample))
    if not sample:
        return
    rate = audio.al_get_sample_frequency(sample)
    seconds = audio.al_get_sample_length(sample) / float(rate or 1)
    print('#   decoded %.1f s of music in %.0f ms' % (seconds, took * 1000))
    check('Lumavale.ogg is 44100 Hz', rate == 44100, 'got %d' % rate)
    check('Lumavale.ogg lasts 2 to 3 minutes (%.1f s)' % seconds, 120 <= seconds <= 180)
    audio.al_destroy_sample(sample)
    for name in ('s0.wav', 's2.wav', 's3.wav'):
        s = audio.al_load_sample(os.path.join(MEDIA, name).encode())
        check('%s loads with al_load_sample' % name, bool(s))
        if s:
            audio.al_destroy_sample(s)


def check_fonts(core):
    font = lib('allegro_font')
    ttf = lib('allegro_ttf')
    font.al_init_font_addon.restype = ctypes.c_bool
    ttf.al_init_ttf_addon.restype = ctypes.c_bool
    font.al_init_font_addon()
    ttf.al_init_ttf_addon()
    ttf.al_load_ttf_font.argtypes = [ctypes.c_char_p, ctypes.c_int, ctypes.c_int]
    ttf.al_load_ttf_font.restype = ctypes.c_void_p
    font.al_get_font_line_height.argtypes = [ctypes.c_void_p]
    font.al_get_font_line_height.restype = ctypes.c_int
    font.al_destroy_font.argtypes = [ctypes.c_void_p]
    try:
        from fontTools.ttLib import TTFont
    except ImportError:
        TTFont = None
        check('fontTools available (Debian package python3-fonttools)', False, 'not installed')
    for name, sizes in (('palab.ttf', (40, 26)), ('pala.ttf', (22, 18))):
        path = os.path.join(MEDIA, name)
        if TTFont:
            tables = set(TTFont(path).keys())
            check('%s has TrueType outlines' % name, 'glyf' in tables and 'CFF ' not in tables,
                  'tables %s' % sorted(tables))
        for size in sizes:
            f = ttf.al_load_ttf_font(path.encode(), size, 0)
            height = font.al_get_font_line_height(f) if f else 0
            check('%s loads at %d px (line height %d)' % (name, size, height),
                  bool(f) and size * 0.8 <= height <= size * 1.5)
            if f:
                font.al_destroy_font(f)
    check('font licence travels with the fonts',
          os.path.exists(os.path.join(MEDIA, 'fonts-LICENSE.txt')))


def main():
    for cue in CUES:
        check_cue(*cue)
    try:
        core = allegro()
    except OSError as e:
        check('Allegro usable through ctypes', False, str(e))
        core = None
    if core:
        check_music(core)
        check_fonts(core)
    passed = sum(results)
    failed = len(results) - passed
    print('%d passed, %d failed' % (passed, failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())

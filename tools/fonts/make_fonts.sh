#!/bin/sh
# Builds the game's two TrueType faces from TeX Gyre Pagella (OpenType/CFF)
# and puts the licence beside them.  Usage: make_fonts.sh OUTDIR
set -eu
out=${1:?usage: make_fonts.sh OUTDIR}
here=$(dirname "$0")
src=$(dpkg -L fonts-texgyre 2>/dev/null | grep -m1 'texgyrepagella-regular.otf$' | xargs dirname 2>/dev/null || true)
[ -n "$src" ] || src=/usr/share/texmf/fonts/opentype/public/tex-gyre
lic=/usr/share/texmf/doc/fonts/tex-gyre/GUST-FONT-LICENSE.txt
[ -f "$lic" ] || lic=$(dpkg -L fonts-texgyre | grep -m1 'GUST-FONT-LICENSE.txt$')
mkdir -p "$out"
# fontforge stamps the build time into 'head' and 'FFTM' unless
# SOURCE_DATE_EPOCH is set; pin it (whatever the caller's environment says)
# so repeated runs give identical bytes.
SOURCE_DATE_EPOCH=1262304000
export SOURCE_DATE_EPOCH
log=$(mktemp)
trap 'rm -f "$log"' EXIT
convert() {
    # fontforge chatters on stderr; show it only when it fails.
    fontforge -quiet -lang=ff -script "$here/convert.pe" "$@" 2>"$log" || { cat "$log" >&2; exit 1; }
}
convert "$src/texgyrepagella-regular.otf" "$out/pala.ttf" \
    "Orvo Serif" "OrvoSerif-Regular" "Orvo Serif Regular" "Regular"
convert "$src/texgyrepagella-bold.otf" "$out/palab.ttf" \
    "Orvo Serif" "OrvoSerif-Bold" "Orvo Serif Bold" "Bold"
{
    cat "$here/NOTICE.txt"
    echo
    cat "$lic"
} > "$out/fonts-LICENSE.txt"

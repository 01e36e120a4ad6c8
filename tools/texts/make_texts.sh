#!/bin/sh
# Installs the interface texts: English as the game's texts file, and every
# language under lang/.  Usage: make_texts.sh OUTDIR
set -eu
out=${1:?usage: make_texts.sh OUTDIR}
here=$(dirname "$0")
mkdir -p "$out/lang"
cp "$here/en.txt" "$out/tekstyOrvo.txt"
cp "$here/en.txt" "$out/lang/en.txt"
cp "$here/pl.txt" "$out/lang/pl.txt"
